// The control panel's drug and sequence lists and what choosing in them does.  The desktop shows
// the lists and the confirmation dialogs; the headless runner drives the same calls without them.
//
// Choosing an entry is split in two around the confirmation: DrugSelected / SequenceSelected
// return the comment to show (or nothing when the choice is already complete), and then exactly
// one of GetDrug / DontGetDrug, DoSequence / DontDoSequence follows.  They run between ticks and
// the caller holds the model lock, as for every other engine call; the confirmation dialog itself
// is shown without it.  After each of them the desktop refreshes the heart picture and sets its lists' selections from
// SelectedDrug() and SelectedSequence().
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/heart_record.h"
#include "model/therapy/therapy_text.h"

namespace vantrel {

class TherapyPanel {
public:
    // After every model load, reload and language change: the drug list gets the translation of
    // "IDS_WASHOUT" ("No drug / WashOut") and then every drug of the model's drug text; the
    // sequence list "IDS_BASELINE" ("Actions: Baseline") and every sequence.  Both select entry 0.
    void FillLists(CCoeur& heart);

    const std::vector<std::string>& DrugList() const { return drugList_; }
    const std::vector<std::string>& SequenceList() const { return sequenceList_; }
    int SelectedDrug() const { return selectedDrug_; }
    int SelectedSequence() const { return selectedSequence_; }
    // Set when a sequence action has changed cells; the baseline then also washes out.
    bool SequenceChangedCells() const { return sequenceChangedCells_; }

    // The drug list's selection became `index`.  Entry 0 washes out at once and returns nothing;
    // a drug returns its comment for "Get it" / "Don't get it".  An entry whose text has no name
    // or no closing quote returns nothing and changes nothing (the selection goes back).
    std::optional<std::string> DrugSelected(CCoeur& heart, int index);
    // "Get it": washout, then the drug's actions.
    void GetDrug(CCoeur& heart);
    // "Don't get it": washout, and the list back to its first entry.
    void DontGetDrug(CCoeur& heart);

    // The sequence list's selection became `index`.  Entry 0 runs the baseline and returns
    // nothing; a sequence returns its comment for "Do it" / "Don't do it".
    std::optional<std::string> SequenceSelected(CCoeur& heart, int index);
    // "Do it": the baseline, then the sequence's actions (not definitive unless they say so).
    void DoSequence(CCoeur& heart);
    // "Don't do it": the list back to its first entry and the baseline.
    void DontDoSequence(CCoeur& heart);

    // Links back to their model types, the tone ramping back to the model's tone and, when a
    // sequence changed cells, the washout with the drug list back to its first entry.
    void SequenceBaseline(CCoeur& heart);

    // The start sequence, with its changes definitive so that they become model values.  The
    // heart-rate sampling calls it once per load, at the first sample while the load's
    // `startSequencePending` is set, and clears that request itself.  False when the sequence
    // text has no start sequence.
    bool RunStartSequence(CCoeur& heart);

    // The automatic ends (messages 1036 and 1037): the list goes back to its first entry.
    void DrugEnded() { selectedDrug_ = 0; }
    void SequenceEnded() { selectedSequence_ = 0; }

private:
    void DrugWashout(CCoeur& heart);

    std::vector<TherapyEntry> drugs_;      // entry i is list entry i + 1
    std::vector<TherapyEntry> sequences_;  // likewise
    std::vector<std::string> drugList_;
    std::vector<std::string> sequenceList_;
    int selectedDrug_ = 0;
    int selectedSequence_ = 0;
    bool sequenceChangedCells_ = false;
    // What the open confirmation would apply; empty when no confirmation is open.
    std::optional<TherapyEntryText> pendingDrug_;
    std::optional<TherapyEntryText> pendingSequence_;
};

}  // namespace vantrel
