// The interventions a script applies to a running model with `vantrel-sim --do T:ACTION`, the
// way the desktop applies the user's: between two ticks, through the same engine calls as the
// panels, menus and dialogs.  Actions are parsed and checked before the run starts, so that a
// mistake in a script is one clear line and not a half-run.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/action_log.h"
#include "engine/heart_record.h"
#include "engine/pacemaker.h"
#include "engine/stimulator_program.h"
#include "model/therapy/therapy_panel.h"

namespace CLI {
class App;
}

namespace vantrel {

enum class SimActionKind {
    Svpb,
    Vpb,
    SvpbRun,
    VpbRun,
    SvBigeminy,  // value: on 1 / off 0
    VBigeminy,
    Tone,       // value: the tone, set at once as by the scroll bar
    Ramp,       // value: the target tone
    Respiration,  // value: on 1 / off 0
    RespirationRate,
    RespirationAmplitude,
    Shock,
    Remodel,
    Electrode,  // value: intracardiac electrode 0..3; cell
    Pacemaker,
    StimulatorStart,
    StimulatorStop,
    Emergency,  // value: on 1 / off 0
    Drug,       // value: the drug list's entry, once resolved ("Get it")
    Washout,    // the drug list's first entry
    Sequence,   // value: the sequence list's entry, once resolved ("Do it")
    Baseline,   // the sequence list's first entry
};

// A cell named in an action: "none" or a cell name, resolved against the loaded model.
struct SimCellName {
    std::string name;  // empty: not given
    int32_t cell = -1;
};

struct SimAction {
    int64_t tick = 0;  // applied once this many ticks have run
    SimActionKind kind = SimActionKind::Shock;
    std::string text;  // the action as written, for messages
    int32_t value = 0;
    SimCellName cell;  // intracardiac electrode's cell
    std::string therapyName;  // Drug, Sequence: the entry's display name, in UTF-8
    // Pacemaker: the mode, the named settings (others keep the dialog's values) and the leads.
    std::array<std::optional<int32_t>, kPacemakerFields.size()> pacemakerValues{};
    SimCellName atrialLead, ventricularLead, ventricular2Lead;
    // Stimulator "START": the dialog's settings, unnamed ones at their defaults.
    StimulatorSettings stimulator;
};

// What the dialogs and lists keep between two actions, as the desktop's modeless dialogs and its
// control panel do.
struct SimDialogs {
    PacemakerSettings pacemaker;
    StimulatorSettings stimulator;
    TherapyPanel therapy;
    bool therapyListsFilled = false;  // the lists are filled once, after the load
};

// Parses "T:ACTION" (T in simulated seconds, decimals allowed).  On failure returns nothing and
// sets `error` to one line.
std::optional<SimAction> ParseSimAction(std::string_view spec, std::string& error);

// Looks up the cell, drug and sequence names of an action in the loaded model; false with `error`
// for a name the model does not have.
bool ResolveSimActionNames(const CCoeur& heart, SimAction& action, std::string& error);

// Fills the drug and sequence lists from the loaded model the first time they are needed.
void FillTherapyLists(CCoeur& heart, SimDialogs& dialogs);

// What an applied action did, in words: the texts for the action log (one action may say
// several things: a pacemaker with its leads) and a warning for stderr when it can do nothing
// (a pacemaker or stimulator whose lead is not placed).
struct SimActionOutcome {
    std::vector<std::string> texts;
    std::string warning;  // empty: none
};

// Applies one action to the heart, between ticks.
SimActionOutcome ApplySimAction(CCoeur& heart, SimDialogs& dialogs, const SimAction& action);

// The parsed actions in the order they apply: by time, and in the order given at equal times.
class SimActionSchedule {
public:
    explicit SimActionSchedule(std::vector<SimAction> actions);
    // Where the applied actions are logged (null: nowhere), and where their warnings go (unset:
    // nowhere).
    void SetLog(ActionLog* log) { log_ = log; }
    void SetWarningSink(std::function<void(const std::string&)> sink) { warn_ = std::move(sink); }
    // Applies every action due once `heart.tickCount` ticks have run.
    void ApplyDue(CCoeur& heart);
    // Whether some action is due once `heart.tickCount` ticks have run.
    bool Due(const CCoeur& heart) const {
        return next_ < actions_.size() && actions_[next_].tick <= heart.tickCount;
    }
    // At each heart-rate sample, as the desktop's redraw handler: the model's start sequence runs
    // at the first sample after the load.
    void RateSample(CCoeur& heart);
    const std::vector<SimAction>& Actions() const { return actions_; }
    std::vector<SimAction>& Actions() { return actions_; }

private:
    std::vector<SimAction> actions_;
    void Note(CCoeur& heart, const SimActionOutcome& outcome);

    size_t next_ = 0;
    SimDialogs dialogs_;
    ActionLog* log_ = nullptr;
    std::function<void(const std::string&)> warn_;
};

// The actions as `--help` documents them.
std::string SimActionsHelp();

// Registers the repeatable `--do T:ACTION` and puts the actions' description in the help.
void AddSimActionOptions(CLI::App& app, std::vector<std::string>& specs);

// Parses every `--do` before anything is loaded; false with the first mistake in one line.
bool ParseSimActions(const std::vector<std::string>& specs, std::vector<SimAction>& actions,
                     std::string& error);

// Looks up every cell name once the model is loaded; false with the first unknown name.
bool ResolveSimActions(const CCoeur& heart, std::vector<SimAction>& actions, std::string& error);

}  // namespace vantrel
