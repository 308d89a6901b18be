#include "cli/sim_actions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/action_text.h"
#include "engine/autonomic_tone.h"
#include "engine/cardioversion.h"
#include "engine/premature_beats.h"
#include "engine/respiration.h"
#include "engine/stimulator.h"
#include "model/therapy/therapy_text.h"
#include "model/windows1252.h"

namespace vantrel {

namespace {

enum class ValueKind { None, OnOff, Integer, Cell, Pacemaker, Stimulator, EntryName };

struct ActionWord {
    const char* word;
    SimActionKind kind;
    ValueKind value;
    int32_t min = 0, max = 0;  // Integer: accepted range; Cell: the electrode
};

constexpr ActionWord kActionWords[] = {
    {"svpb", SimActionKind::Svpb, ValueKind::None},
    {"vpb", SimActionKind::Vpb, ValueKind::None},
    {"svpbx", SimActionKind::SvpbRun, ValueKind::None},
    {"vpbx", SimActionKind::VpbRun, ValueKind::None},
    {"sv-bigeminy", SimActionKind::SvBigeminy, ValueKind::OnOff},
    {"v-bigeminy", SimActionKind::VBigeminy, ValueKind::OnOff},
    {"tone", SimActionKind::Tone, ValueKind::Integer, 0, 1000},
    {"ramp", SimActionKind::Ramp, ValueKind::Integer, 0, 1000},
    {"resp", SimActionKind::Respiration, ValueKind::OnOff},
    {"resp-rate", SimActionKind::RespirationRate, ValueKind::Integer, 0, 100},
    {"resp-amp", SimActionKind::RespirationAmplitude, ValueKind::Integer, 0, 100},
    {"shock", SimActionKind::Shock, ValueKind::None},
    {"remodel", SimActionKind::Remodel, ValueKind::None},
    {"ic1", SimActionKind::Electrode, ValueKind::Cell, 0},
    {"ic2", SimActionKind::Electrode, ValueKind::Cell, 1},
    {"ic3", SimActionKind::Electrode, ValueKind::Cell, 2},
    {"ic4", SimActionKind::Electrode, ValueKind::Cell, 3},
    {"pacemaker", SimActionKind::Pacemaker, ValueKind::Pacemaker},
    {"stim", SimActionKind::StimulatorStart, ValueKind::Stimulator},
    {"stim-stop", SimActionKind::StimulatorStop, ValueKind::None},
    {"emergency", SimActionKind::Emergency, ValueKind::OnOff},
    {"drug", SimActionKind::Drug, ValueKind::EntryName},
    {"washout", SimActionKind::Washout, ValueKind::None},
    {"sequence", SimActionKind::Sequence, ValueKind::EntryName},
    {"baseline", SimActionKind::Baseline, ValueKind::None},
};

// Largest time a script may name, seconds: far beyond any run, small enough to stay exact.
constexpr double kLatestSeconds = 1e8;

std::optional<int32_t> ParseInteger(std::string_view text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

std::optional<bool> ParseOnOff(std::string_view text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return parts;
}

// "key=value" split at the first '='; the value is empty without one.
std::pair<std::string_view, std::string_view> KeyValue(std::string_view item) {
    const size_t eq = item.find('=');
    if (eq == std::string_view::npos) return {item, {}};
    return {item.substr(0, eq), item.substr(eq + 1)};
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Pacemaker: MODE followed by ",key=value" items.
bool ParsePacemaker(std::string_view value, SimAction& action, std::string& reason) {
    const auto items = SplitCommas(value);
    const int32_t mode = PacemakerModeFromName(items[0]);
    if (mode < 0) {
        reason = "unknown pacemaker mode " + Quoted(items[0]) +
                 " (None, AAI, VVI, DDD, DDD+ or CRT expected)";
        return false;
    }
    for (size_t f = 0; f < kPacemakerFields.size(); ++f)
        if (kPacemakerFields[f].value == &PacemakerSettings::mode) action.pacemakerValues[f] = mode;
    for (size_t i = 1; i < items.size(); ++i) {
        const auto [key, text] = KeyValue(items[i]);
        if (key == "a" || key == "v" || key == "v2") {
            if (text.empty()) {
                reason = "pacemaker " + std::string(key) + "= needs a cell name or none";
                return false;
            }
            SimCellName& lead = key == "a"   ? action.atrialLead
                                : key == "v" ? action.ventricularLead
                                             : action.ventricular2Lead;
            lead.name = std::string(text);
            continue;
        }
        size_t f = 0;
        while (f < kPacemakerFields.size() &&
               (key != kPacemakerFields[f].range.name ||
                kPacemakerFields[f].value == &PacemakerSettings::mode))
            ++f;
        if (f == kPacemakerFields.size()) {
            reason = "unknown pacemaker setting " + Quoted(key);
            return false;
        }
        const auto number = ParseInteger(text);
        if (!number || !InRange(kPacemakerFields[f].range, *number)) {
            reason = "pacemaker " + std::string(items[i]) + ": " +
                     FieldRangeMessage(kPacemakerFields[f].range);
            return false;
        }
        action.pacemakerValues[f] = *number;
    }
    return true;
}

// Stimulator: ",key=value" items over the dialog's defaults.
bool ParseStimulator(std::string_view value, SimAction& action, std::string& reason) {
    StimulatorSettings& s = action.stimulator;
    for (std::string_view item : SplitCommas(value)) {
        if (item.empty()) continue;
        const auto [key, text] = KeyValue(item);
        const std::string bad = "stim " + std::string(item) + ": ";
        if (key == "train") {
            const auto on = ParseOnOff(text);
            if (!on) {
                reason = bad + "on or off expected";
                return false;
            }
            s.train = *on;
            continue;
        }
        if (key == "mode") {
            if (text == "fixed") s.mode = StimulatorMode::Fixed;
            else if (text == "inc") s.mode = StimulatorMode::AutoIncrement;
            else if (text == "dec") s.mode = StimulatorMode::AutoDecrement;
            else {
                reason = bad + "fixed, inc or dec expected";
                return false;
            }
            continue;
        }
        const StimulatorField* field = nullptr;
        for (const StimulatorField& f : kStimulatorFields)
            if (key == f.range.name) field = &f;
        if (!field) {
            reason = "unknown stimulator setting " + Quoted(key);
            return false;
        }
        bool* enabled = key == "s3"      ? &s.s3On
                        : key == "s4"    ? &s.s4On
                        : key == "pause" ? &s.pauseOn
                        : key == "n"     ? &s.withIntermediate
                                         : nullptr;
        if (enabled && key != "n" && text == "off") {
            *enabled = false;
            continue;
        }
        const auto number = ParseInteger(text);
        if (!number || !InRange(field->range, *number)) {
            reason = bad + FieldRangeMessage(field->range);
            return false;
        }
        s.*(field->value) = *number;
        if (enabled) *enabled = true;
    }
    if (BuildStimulatorProgram(s).size() >= static_cast<size_t>(kStimProgramSize)) {
        reason = StimulatorProgramTooLongMessage();
        return false;
    }
    return true;
}

bool ResolveCell(const CCoeur& heart, SimCellName& cell, std::string& reason) {
    if (cell.name.empty() || cell.name == "none") {
        cell.cell = -1;
        return true;
    }
    cell.cell = heart.FindCell(cell.name.c_str());
    if (cell.cell < 0) {
        reason = "no cell is named " + Quoted(cell.name);
        return false;
    }
    return true;
}

void PlaceLead(int32_t& lead, const SimCellName& cell, char which, SimActionOutcome& outcome) {
    if (cell.name.empty()) return;
    lead = cell.cell;
    outcome.texts.push_back(PacemakerLeadActionText(which, cell.cell >= 0 ? cell.name.c_str() : nullptr));
}

// The leads a pacemaker mode paces and senses through that are not placed, in words.
std::string MissingPacemakerLeads(const CCoeur& heart) {
    std::string missing;
    const auto need = [&](int32_t cell, const char* name) {
        if (cell >= 0) return;
        if (!missing.empty()) missing += " and ";
        missing += name;
    };
    const int32_t mode = heart.pmMode;
    if (mode == kPmAai || mode == kPmDdd || mode == kPmDddPlus || mode == kPmCrt)
        need(heart.pmAtrialCell, "the atrial lead (a=CELL)");
    if (mode == kPmVvi || mode == kPmDdd || mode == kPmDddPlus || mode == kPmCrt)
        need(heart.pmVentricularCell, "the ventricular lead (v=CELL)");
    if (mode == kPmCrt) need(heart.pmVentricular2Cell, "the second ventricular lead (v2=CELL)");
    return missing;
}

// The stimulator paces through intracardiac electrode `lead`: a warning when it is not placed.
std::string MissingStimulatorLead(const CCoeur& heart, const SimAction& action, int32_t lead) {
    const int32_t n = std::clamp(lead, 1, 4);
    if (heart.icCell[n - 1] >= 0) return {};
    return "--do " + action.text + ": the stimulator's lead " + std::to_string(n) +
           " is not placed (place electrode I.C." + std::to_string(n) + " with ic" +
           std::to_string(n) + "=CELL): it stimulates nothing";
}

}  // namespace

std::optional<SimAction> ParseSimAction(std::string_view spec, std::string& error) {
    const auto fail = [&](const std::string& reason) {
        error = "--do " + std::string(spec) + ": " + reason;
        return std::nullopt;
    };
    const size_t colon = spec.find(':');
    if (colon == std::string_view::npos) return fail("T:ACTION expected");
    const std::string timeText(spec.substr(0, colon));
    double seconds = -1;
    const auto [ptr, ec] =
        std::from_chars(timeText.data(), timeText.data() + timeText.size(), seconds);
    if (timeText.empty() || ec != std::errc() || ptr != timeText.data() + timeText.size() ||
        !std::isfinite(seconds) || seconds < 0 || seconds > kLatestSeconds)
        return fail("the time " + Quoted(timeText) + " is not a number of seconds");

    SimAction action;
    action.tick = std::llround(seconds * 200);
    action.text = std::string(spec.substr(colon + 1));
    const auto [word, value] = KeyValue(action.text);
    const bool hasValue = action.text.find('=') != std::string::npos;
    const ActionWord* found = nullptr;
    for (const ActionWord& a : kActionWords)
        if (word == a.word) found = &a;
    if (!found) return fail("unknown action " + Quoted(word));
    action.kind = found->kind;

    std::string reason;
    switch (found->value) {
        case ValueKind::None:
            if (hasValue) return fail(std::string(found->word) + " takes no value");
            break;
        case ValueKind::OnOff: {
            const auto on = ParseOnOff(value);
            if (!on) return fail(std::string(found->word) + "=on or =off expected");
            action.value = *on ? 1 : 0;
            break;
        }
        case ValueKind::Integer: {
            const auto number = ParseInteger(value);
            if (!number || *number < found->min || *number > found->max)
                return fail(std::string(found->word) + " needs a whole number from " +
                            std::to_string(found->min) + " to " + std::to_string(found->max));
            action.value = *number;
            break;
        }
        case ValueKind::Cell:
            if (value.empty()) return fail(std::string(found->word) + "=CELL or =none expected");
            action.value = found->min;
            action.cell.name = std::string(value);
            break;
        case ValueKind::Pacemaker:
            if (!ParsePacemaker(value, action, reason)) return fail(reason);
            break;
        case ValueKind::Stimulator:
            if (!ParseStimulator(value, action, reason)) return fail(reason);
            break;
        case ValueKind::EntryName:
            // The whole rest is the name: display names may hold spaces, commas and "=".
            action.therapyName = action.text.substr(action.text.find('=') + 1);
            if (!hasValue || action.therapyName.empty())
                return fail(std::string(found->word) + "=NAME expected");
            break;
    }
    return action;
}

bool ResolveSimActionNames(const CCoeur& heart, SimAction& action, std::string& error) {
    if (action.kind == SimActionKind::Drug || action.kind == SimActionKind::Sequence) {
        const bool drug = action.kind == SimActionKind::Drug;
        const auto entries = drug ? ListDrugs(heart.drugText) : ListSequences(heart.sequenceText);
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const TherapyEntry& e) {
            return Windows1252ToUtf8(e.name) == action.therapyName;
        });
        if (found == entries.end()) {
            error = "--do " + action.text + ": the model has no " + (drug ? "drug " : "sequence ") +
                    Quoted(action.therapyName) + " (vantrel-sim --list shows them)";
            return false;
        }
        action.value = static_cast<int32_t>(found - entries.begin()) + 1;  // entry 0 is the washout
    }
    std::string reason;
    for (SimCellName* cell :
         {&action.cell, &action.atrialLead, &action.ventricularLead, &action.ventricular2Lead})
        if (!ResolveCell(heart, *cell, reason)) {
            error = "--do " + action.text + ": " + reason;
            return false;
        }
    return true;
}

SimActionOutcome ApplySimAction(CCoeur& heart, SimDialogs& dialogs, const SimAction& action) {
    SimActionOutcome outcome;
    const auto say = [&](std::string text) { outcome.texts.push_back(std::move(text)); };
    const auto premature = [&](PrematureBeatCommand command) {
        PressPrematureBeat(heart, command);
        say(PrematureBeatActionText(command));
    };
    const auto onOff = [&](const char* what) {
        say(std::string(what) + (action.value ? " on" : " off"));
    };
    switch (action.kind) {
        case SimActionKind::Svpb: premature(PrematureBeatCommand::Svpb); break;
        case SimActionKind::Vpb: premature(PrematureBeatCommand::Vpb); break;
        case SimActionKind::SvpbRun: premature(PrematureBeatCommand::SvpbRun); break;
        case SimActionKind::VpbRun: premature(PrematureBeatCommand::VpbRun); break;
        case SimActionKind::SvBigeminy:
            premature(action.value ? PrematureBeatCommand::SvBigeminyOn
                                   : PrematureBeatCommand::SvBigeminyOff);
            break;
        case SimActionKind::VBigeminy:
            premature(action.value ? PrematureBeatCommand::VBigeminyOn
                                   : PrematureBeatCommand::VBigeminyOff);
            break;
        case SimActionKind::Tone:
            heart.SetTone(action.value, false);
            say("Tone " + std::to_string(action.value));
            break;
        case SimActionKind::Ramp:
            RampTone(heart, action.value);
            say("Tone ramp to " + std::to_string(action.value));
            break;
        case SimActionKind::Respiration:
            SetRespiratoryArrhythmia(heart, action.value != 0);
            onOff("Respiratory arrhythmia");
            break;
        case SimActionKind::RespirationRate:
            SetRespirationRate(heart, action.value);
            say("Respiration rate " + std::to_string(action.value) + "/min");
            break;
        case SimActionKind::RespirationAmplitude:
            SetRespirationAmplitude(heart, action.value);
            say("Respiration amplitude " + std::to_string(action.value));
            break;
        case SimActionKind::Shock:
            Shock(heart);
            say("Shock");
            break;
        case SimActionKind::Remodel:
            RemodelAtria(heart);
            say("Atrial remodeling");
            break;
        case SimActionKind::Electrode:
            heart.icCell[action.value] = action.cell.cell;
            heart.MarkElectrodes();
            say(ElectrodeActionText(action.value,
                                    action.cell.cell >= 0 ? action.cell.name.c_str() : nullptr));
            break;
        case SimActionKind::Pacemaker: {
            for (size_t f = 0; f < kPacemakerFields.size(); ++f)
                if (action.pacemakerValues[f])
                    dialogs.pacemaker.*(kPacemakerFields[f].value) = *action.pacemakerValues[f];
            SimActionOutcome leads;
            PlaceLead(heart.pmAtrialCell, action.atrialLead, 'A', leads);
            PlaceLead(heart.pmVentricularCell, action.ventricularLead, 'V', leads);
            PlaceLead(heart.pmVentricular2Cell, action.ventricular2Lead, '2', leads);
            SetupPacemaker(heart, dialogs.pacemaker);
            ApplyMode(heart);  // as the heart picture does when it redraws
            say(PacemakerActionText(dialogs.pacemaker));
            for (std::string& text : leads.texts) say(std::move(text));
            const std::string missing = MissingPacemakerLeads(heart);
            if (!missing.empty())
                outcome.warning = "--do " + action.text + ": " + missing +
                                  " is not placed: the pacemaker cannot pace or sense there";
            break;
        }
        case SimActionKind::StimulatorStart: {
            const bool emergency = dialogs.stimulator.emergency;
            dialogs.stimulator = action.stimulator;
            dialogs.stimulator.emergency = emergency;
            PressStimulatorStart(heart, dialogs.stimulator);
            say(StimulatorStartActionText(dialogs.stimulator));
            outcome.warning = MissingStimulatorLead(heart, action, dialogs.stimulator.lead);
            break;
        }
        case SimActionKind::StimulatorStop:
            PressStimulatorStop(heart, dialogs.stimulator);
            say("Stimulator stop");
            break;
        case SimActionKind::Emergency:
            dialogs.stimulator.emergency = action.value != 0;
            PressStimulatorEmergency(heart, dialogs.stimulator);
            onOff("Emergency pacing");
            if (action.value)
                outcome.warning = MissingStimulatorLead(heart, action, dialogs.stimulator.lead);
            break;
        // The lists as the user works them: a choice, its comment shown, then the confirmation.
        case SimActionKind::Drug:
            FillTherapyLists(heart, dialogs);
            if (dialogs.therapy.DrugSelected(heart, action.value)) {
                dialogs.therapy.GetDrug(heart);
                say("Drug: " + action.therapyName);
            }
            break;
        case SimActionKind::Washout:
            FillTherapyLists(heart, dialogs);
            dialogs.therapy.DrugSelected(heart, 0);
            say("Washout");
            break;
        case SimActionKind::Sequence:
            FillTherapyLists(heart, dialogs);
            if (dialogs.therapy.SequenceSelected(heart, action.value)) {
                dialogs.therapy.DoSequence(heart);
                say("Sequence: " + action.therapyName);
            }
            break;
        case SimActionKind::Baseline:
            FillTherapyLists(heart, dialogs);
            dialogs.therapy.SequenceSelected(heart, 0);
            say("Baseline");
            break;
    }
    return outcome;
}

void FillTherapyLists(CCoeur& heart, SimDialogs& dialogs) {
    if (dialogs.therapyListsFilled) return;
    dialogs.therapy.FillLists(heart);
    dialogs.therapyListsFilled = true;
}

SimActionSchedule::SimActionSchedule(std::vector<SimAction> actions) : actions_(std::move(actions)) {
    std::stable_sort(actions_.begin(), actions_.end(),
                     [](const SimAction& a, const SimAction& b) { return a.tick < b.tick; });
}

void SimActionSchedule::Note(CCoeur& heart, const SimActionOutcome& outcome) {
    if (log_)
        for (const std::string& text : outcome.texts) log_->Append(heart.tickCount, text);
    if (!outcome.warning.empty() && warn_) warn_(outcome.warning);
}

void SimActionSchedule::ApplyDue(CCoeur& heart) {
    while (next_ < actions_.size() && actions_[next_].tick <= heart.tickCount)
        Note(heart, ApplySimAction(heart, dialogs_, actions_[next_++]));
}

void SimActionSchedule::RateSample(CCoeur& heart) {
    if (heart.startSequencePending == 0) return;
    heart.startSequencePending = 0;
    FillTherapyLists(heart, dialogs_);
    if (dialogs_.therapy.RunStartSequence(heart)) {
        SimActionOutcome outcome;
        outcome.texts.push_back("Start sequence");
        Note(heart, outcome);
    }
}

std::string SimActionsHelp() {
    return R"(Interventions (--do T:ACTION: one --do takes one action; repeat --do for each further
action.  T in simulated seconds; applied between ticks in time order, and in the order given at
equal times; each one is a line of --events and an annotation of an EDF+ --ecg):
  svpb, vpb, svpbx, vpbx      supraventricular / ventricular premature beat, or run of them
  sv-bigeminy=on|off, v-bigeminy=on|off
                              bi- and trigeminy with the model's occurrence
  tone=N                      set the autonomic tone at once (0..1000), as the scroll bar
  ramp=N                      ramp the tone toward N by 10 every second
  resp=on|off                 respiratory arrhythmia
  resp-rate=N, resp-amp=N     breaths per minute (0..100; 0 = one a minute), amplitude (0..100)
  shock                       cardioversion shock
  remodel                     atrial remodeling
  ic1=CELL .. ic4=CELL        place intracardiac electrode 1..4 on the cell of that name (or none)
  pacemaker=MODE[,av=MS,max=BPM,rate=BPM,vv=MS,ablank=MS,vblank=MS,a=CELL,v=CELL,v2=CELL]
                              MODE: None, AAI, VVI, DDD, DDD+, CRT; unnamed settings keep their
                              last values (at first 160 ms, 140 bpm, 70 bpm, 0, 0, 0); leads are
                              cell names or none; ranges: av 5..1000, max 30..300, rate 30..200,
                              vv -100..100, ablank and vblank 0..1000
  stim=[train=on|off,s1=MS,n=N,s2=MS,mode=fixed|inc|dec,step=MS,limit=MS,s3=MS|off,s4=MS|off,
        pause=MS|off,lead=1..4]
                              the stimulator's START; unnamed settings at their defaults (train
                              off, s1 600, without intermediate QRS, s2 500, fixed, step 25,
                              limit 200, s3 and s4 off, pause 3000, lead 1); n=N means "with N
                              intermediate QRS"
  stim-stop                   the stimulator's STOP
  emergency=on|off            emergency pacing at 75 bpm through the active lead
  drug=NAME                   choose the drug of that display name and "Get it" (after a washout)
  washout                     the drug list's "No drug / WashOut"
  sequence=NAME               choose the sequence of that display name and "Do it"
  baseline                    the sequence list's "Actions: Baseline"
                              (names as vantrel-sim --list prints them; a model's start sequence
                              runs by itself at the first heart-rate sample, 5 s into the run)
)";
}

void AddSimActionOptions(CLI::App& app, std::vector<std::string>& specs) {
    app.add_option("--do", specs,
                   "T:ACTION: one intervention at T simulated seconds (one action per --do; "
                   "repeat --do for more; see below)")
        ->allow_extra_args(false)
        ->type_name("T:ACTION");
    app.footer(SimActionsHelp());
}

bool ParseSimActions(const std::vector<std::string>& specs, std::vector<SimAction>& actions,
                     std::string& error) {
    actions.clear();
    for (const std::string& spec : specs) {
        auto action = ParseSimAction(spec, error);
        if (!action) return false;
        actions.push_back(std::move(*action));
    }
    return true;
}

bool ResolveSimActions(const CCoeur& heart, std::vector<SimAction>& actions, std::string& error) {
    for (SimAction& action : actions)
        if (!ResolveSimActionNames(heart, action, error)) return false;
    return true;
}

}  // namespace vantrel
