// Arbitrary bytes as a model's drug text and sequence text (split at the first zero byte): every
// drug is got, every sequence done, the start sequence run and everything undone again, on a
// small heart.  Nothing may crash, hang or touch memory outside the record.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/heart_record.h"
#include "model/therapy/therapy_panel.h"

namespace {

std::unique_ptr<vantrel::CCoeur> MakeHeart() {
    auto heart = std::make_unique<vantrel::CCoeur>();
    static const char* const kNames[] = {"Sinus", "RA1", "AVN1", "His", "LV1", "LV2"};
    for (const char* name : kNames) {
        vantrel::CCell& cell = heart->cells[heart->cellCount++];
        cell.SetName(name);
        cell.StoreAsModel();
    }
    for (int i = 0; i + 1 < heart->cellCount; ++i) {
        vantrel::CellLink& link = heart->links[heart->linkCount++];
        link.cellA = i;
        link.cellB = i + 1;
    }
    return heart;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<vantrel::CCoeur> heart = MakeHeart();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\0');
    heart->drugText = bytes.substr(0, split);
    heart->sequenceText = split == std::string::npos ? std::string() : bytes.substr(split + 1);

    vantrel::TherapyPanel panel;
    panel.FillLists(*heart);
    panel.RunStartSequence(*heart);
    for (int i = 0; i < static_cast<int>(panel.DrugList().size()); ++i)
        if (panel.DrugSelected(*heart, i)) panel.GetDrug(*heart);
    for (int i = 0; i < static_cast<int>(panel.SequenceList().size()); ++i)
        if (panel.SequenceSelected(*heart, i)) panel.DoSequence(*heart);
    panel.SequenceBaseline(*heart);
    panel.DrugSelected(*heart, 0);
    // The model values the start sequence may have changed stay; the next input starts from them,
    // which only widens what is explored.
    return 0;
}
