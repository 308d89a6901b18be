#include "model/therapy/therapy_panel.h"

#include "engine/autonomic_tone.h"
#include "engine/program_wide.h"
#include "model/therapy/cell_changes.h"
#include "model/therapy/therapy_actions.h"

namespace vantrel {

void TherapyPanel::FillLists(CCoeur& heart) {
    drugs_ = ListDrugs(heart.drugText);
    sequences_ = ListSequences(heart.sequenceText);
    drugList_ = {Translate("IDS_WASHOUT", "No drug / WashOut")};
    for (const TherapyEntry& entry : drugs_) drugList_.push_back(entry.name);
    sequenceList_ = {Translate("IDS_BASELINE", "Actions: Baseline")};
    for (const TherapyEntry& entry : sequences_) sequenceList_.push_back(entry.name);
    selectedDrug_ = 0;
    selectedSequence_ = 0;
    // The load has put every cell back to its model values: nothing of a sequence is left.
    sequenceChangedCells_ = false;
    pendingDrug_.reset();
    pendingSequence_.reset();
}

void TherapyPanel::DrugWashout(CCoeur& heart) {
    Washout(heart);
    // A countdown left by the previous drug would otherwise end the next one early.
    heart.cellResetCountdown = 0;
}

std::optional<std::string> TherapyPanel::DrugSelected(CCoeur& heart, int index) {
    pendingDrug_.reset();
    if (index < 0 || index >= static_cast<int>(drugList_.size())) return std::nullopt;
    if (index == 0) {
            DrugWashout(heart);
        selectedDrug_ = 0;
        return std::nullopt;
    }
    std::optional<TherapyEntryText> text;
    {
            text = DrugText(heart.drugText, drugs_[index - 1]);
    }
    if (!text) return std::nullopt;  // the previous choice stays in force and selected
    selectedDrug_ = index;
    pendingDrug_ = std::move(text);
    return pendingDrug_->comment;
}

void TherapyPanel::GetDrug(CCoeur& heart) {
    if (!pendingDrug_) return;
    DrugWashout(heart);
    RunDrugActions(heart, pendingDrug_->actions);
    pendingDrug_.reset();
}

void TherapyPanel::DontGetDrug(CCoeur& heart) {
    pendingDrug_.reset();
    DrugWashout(heart);
    selectedDrug_ = 0;
}

void TherapyPanel::SequenceBaseline(CCoeur& heart) {
    RestoreBaseline(heart);  // links to their model types, the tone ramping to the model's
    // The links are back already: a pending automatic restore would only cut the next sequence.
    heart.linkResetCountdown = 0;
    if (sequenceChangedCells_) {
        DrugWashout(heart);
        selectedDrug_ = 0;
        sequenceChangedCells_ = false;
    }
}

std::optional<std::string> TherapyPanel::SequenceSelected(CCoeur& heart, int index) {
    pendingSequence_.reset();
    if (index < 0 || index >= static_cast<int>(sequenceList_.size())) return std::nullopt;
    if (index == 0) {
        selectedSequence_ = 0;
        SequenceBaseline(heart);
        return std::nullopt;
    }
    std::optional<TherapyEntryText> text;
    {
            text = SequenceText(heart.sequenceText, sequences_[index - 1]);
    }
    if (!text) return std::nullopt;
    selectedSequence_ = index;
    pendingSequence_ = std::move(text);
    return pendingSequence_->comment;
}

void TherapyPanel::DoSequence(CCoeur& heart) {
    if (!pendingSequence_) return;
    SequenceBaseline(heart);
    SequenceRun run;
    RunSequenceActions(heart, pendingSequence_->actions, run);
    if (run.changedCells) sequenceChangedCells_ = true;
    pendingSequence_.reset();
}

void TherapyPanel::DontDoSequence(CCoeur& heart) {
    pendingSequence_.reset();
    selectedSequence_ = 0;
    SequenceBaseline(heart);
}

bool TherapyPanel::RunStartSequence(CCoeur& heart) {
    const std::optional<std::string> actions = StartSequenceActions(heart.sequenceText);
    if (!actions) return false;
    SequenceRun run;
    run.definitive = true;
    RunSequenceActions(heart, *actions, run);
    if (run.changedCells) sequenceChangedCells_ = true;
    return true;
}

}  // namespace vantrel
