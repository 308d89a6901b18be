// What the user waits for when choosing in the drug and sequence lists of a full-size model:
// reading the lists, and getting a drug or doing a sequence on 1000 cells and 2000 links.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/heart_record.h"
#include "model/therapy/therapy_panel.h"

namespace {

std::unique_ptr<vantrel::CCoeur> MakeFullHeart() {
    auto heart = std::make_unique<vantrel::CCoeur>();
    static const char* const kPrefixes[] = {"RA", "AVN", "His", "LV", "RV"};
    for (int i = 0; i < vantrel::kMaxCells; ++i) {
        vantrel::CCell& cell = heart->cells[heart->cellCount++];
        cell.SetName((std::string(kPrefixes[i % 5]) + std::to_string(i)).c_str());
        cell.StoreAsModel();
    }
    for (int i = 0; i < vantrel::kMaxLinks; ++i) {
        vantrel::CellLink& link = heart->links[heart->linkCount++];
        link.cellA = i % vantrel::kMaxCells;
        link.cellB = (i * 7 + 1) % vantrel::kMaxCells;
    }
    // Twenty drugs and twenty sequences of five lines each.
    for (int d = 0; d < 20; ++d)
        heart->drugText += "#Drug: d\r\n\"Drug " + std::to_string(d) +
                           "\r\nA comment of a few words.\"\r\nCTA AV 150;200\r\nCTR All 120\r\n"
                           "ARP LV 90 IC 30\r\nSOT RV 40\r\nDUR 30000\r\n";
    for (int s = 0; s < 20; ++s)
        heart->sequenceText += "#Sequence: Sequence " + std::to_string(s) +
                               "\r\n\"A comment.\"\r\nCTA AV 300\r\nLink= AVN2 His5 FullBlock\r\n"
                               "Flux LV 10\r\nSVBalance 700\r\nDUR 30000\r\n";
    return heart;
}

void BM_FillLists(benchmark::State& state) {
    auto heart = MakeFullHeart();
    vantrel::TherapyPanel panel;
    for (auto _ : state) {
        panel.FillLists(*heart);
        benchmark::DoNotOptimize(panel.DrugList().data());
    }
}
BENCHMARK(BM_FillLists);

void BM_GetDrug(benchmark::State& state) {
    auto heart = MakeFullHeart();
    vantrel::TherapyPanel panel;
    panel.FillLists(*heart);
    for (auto _ : state) {
        panel.DrugSelected(*heart, 19);
        panel.GetDrug(*heart);
    }
}
BENCHMARK(BM_GetDrug);

void BM_DoSequence(benchmark::State& state) {
    auto heart = MakeFullHeart();
    vantrel::TherapyPanel panel;
    panel.FillLists(*heart);
    for (auto _ : state) {
        panel.SequenceSelected(*heart, 19);
        panel.DoSequence(*heart);
    }
}
BENCHMARK(BM_DoSequence);

}  // namespace
