// A small heart with named cells and links, and the drug and sequence texts the model reader
// would collect for it, for the therapy tests.
#pragma once

#include <memory>
#include <string>

#include "engine/heart_record.h"

namespace vantrel::testing {

// Cells: Sinus, RA1, AVN1, AVN2, His, LV1, LV2, each with its own model values; links in a
// chain Sinus-RA1-AVN1-AVN2-His, then His-LV1 and His-LV2.  LV1 and AVN1 are not linked.
inline std::unique_ptr<CCoeur> MakeTherapyHeart() {
    auto heart = std::make_unique<CCoeur>();
    static const char* const kNames[] = {"Sinus", "RA1", "AVN1", "AVN2", "His", "LV1", "LV2"};
    for (const char* name : kNames) {
        CCell& cell = heart->cells[heart->cellCount++];
        cell.SetName(name);
        cell.SetEscape(1000, 600);
        cell.SetArp(250, 200);
        cell.SetRrp(40, 30);
        cell.SetAntCond(60, 40);
        cell.SetRetCond(80, 60);
        cell.StoreAsModel();
    }
    heart->cells[0].SetAntCond(4, 4);  // the sinus conducts fast: percentages hit the 5 ms floor
    heart->cells[0].StoreAsModel();
    static const int kLinks[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {4, 6}};
    for (const auto& ends : kLinks) {
        CellLink& link = heart->links[heart->linkCount++];
        link.cellA = ends[0];
        link.cellB = ends[1];
    }
    heart->tone = heart->modelTone = heart->toneTarget = 400;
    return heart;
}

// The drug text: three drugs, one whose closing quote is missing last.
inline const std::string kDrugText =
    "#Drug: first\r\n"
    "\"Betablocker\r\n"
    "Slows the sinus and the AV node.\r\n"
    "\"\r\n"
    "CTA AV 150;200\r\n"
    "ESC=Sinus;130\r\n"
    "DUR 30000\r\n"
    "#Drug: second\r\n"
    "\"Class IC\r\n"
    "Slows conduction in the ventricles and lowers the link robustness.\"\r\n"
    "CTA=LV;120;130 IC=30\r\n"
    "DUR 60000\r\n"
    "#Drug: third\r\n"
    "\"Floor\r\n"
    "Too little to conduct.\"\r\n"
    "CTA All 10\r\n"
    "SOT LV 40\r\n"
    "QRS LV 1 2 3 4 5 6 7 300\r\n"
    "#Drug: broken\r\n"
    "\"Unfinished\r\n"
    "CTA All 500\r\n";

// The sequence text: a start sequence, then sequences with and without DEFINITIVE, links, tone.
inline const std::string kSequenceText =
    "#StartSequence:\r\n"
    "CTR His 150\r\n"
    "Link= LV1 His ABlock\r\n"
    "#Sequence: AV block\r\n"
    "\"Block in the AV node.\r\n"
    "Watch the PR interval.\"\r\n"
    "CTA AVN 300\r\n"
    "Link= AVN2 AVN1 FullBlock\r\n"
    "SVBalance 200\r\n"
    "DUR 60000\r\n"
    "#Sequence: Lasting block\r\n"
    "\"Makes the block part of the model.\"\r\n"
    "DEFINITIVE\r\n"
    "CTA AVN 300\r\n"
    "Link= RA1 AVN1 RBlock\r\n"
    "#Sequence: Ischaemia\r\n"
    "\"Low flow in the left ventricle.\"\r\n"
    "Flux LV 10 CTA LV 300\r\n"
    "AmpV=LV2=-20\r\n"
    "SVBalanceD 900\r\n"
    "DUR 30000\r\n"
    "#Sequence: Unlinked\r\n"
    "\"Blocks a link that does not exist.\"\r\n"
    "Link= LV1 AVN1 FullBlock\r\n";

}  // namespace vantrel::testing
