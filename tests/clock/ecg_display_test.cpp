#include "engine/ecg_display.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantrel {
namespace {

EcgSample Sample(int8_t x, int8_t marker = 0) {
    EcgSample s;
    s.bytes[kEcgX] = x;
    s.bytes[kEcgMarker] = marker;
    return s;
}

TEST(SampleRing, MarkerCoversTheStartingSampleAndSevenMoreAfterTheirOwnSign) {
    auto display = std::make_unique<EcgDisplay>();
    display->PushSample(Sample(5, 9));  // no marker running: byte 15 is stored as 0
    display->PushSample(Sample(-127, 3));
    for (int i = 0; i < 7; ++i) display->PushSample(Sample(0, i == 3 ? 0 : -2));
    display->PushSample(Sample(0, 4));  // the ninth: the marker is over
    const int8_t expected[] = {0, 125, -125, -125, -125, 0, -125, -125, -125, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(display->liveRing[i].bytes[kEcgMarker], expected[i]) << i;
    EXPECT_EQ(display->liveRing[1].bytes[kEcgX], -127) << "the other bytes are stored as they came";
    EXPECT_EQ(display->WriteIndex(), 10);
}

TEST(SampleRing, MinusOneTwentySixStartsNoMarkerButMinusOneTwentyEightDoes) {
    auto display = std::make_unique<EcgDisplay>();
    display->PushSample(Sample(-126, 1));
    display->PushSample(Sample(-128, 1));
    EXPECT_EQ(display->liveRing[0].bytes[kEcgMarker], 0);
    EXPECT_EQ(display->liveRing[1].bytes[kEcgMarker], 125);
}

TEST(SampleRing, WriteIndexWrapsAfterTheLastSlot) {
    auto display = std::make_unique<EcgDisplay>();
    display->writeIndex = kRingSamples - 1;
    display->PushSample(Sample(42));
    EXPECT_EQ(display->WriteIndex(), 0);
    EXPECT_EQ(display->liveRing[kRingSamples - 1].bytes[kEcgX], 42);
}

TEST(LeadTable, NamesInDropDownOrder) {
    EXPECT_EQ(LeadTable[0], "I");
    EXPECT_EQ(LeadTable[5], "aVF");
    EXPECT_EQ(LeadTable[6], "V1");
    EXPECT_EQ(LeadTable[14], "Z");
    EXPECT_EQ(LeadTable[15], "Oes");
    EXPECT_EQ(LeadTable[16], "Resp");
}

TEST(LeadValue, DerivesEveryLeadFromTheSample) {
    EcgSample s;
    s.bytes[kEcgX] = 127;
    s.bytes[kEcgY] = 127;
    s.bytes[kEcgZ] = 127;
    s.bytes[kEcgOes] = -9;
    s.bytes[kEcgResp] = 33;
    for (int k = 0; k < 6; ++k) s.bytes[kEcgV1 + k] = kNoPrecordialList;
    s.bytes[kEcgV1 + 1] = -127;  // a real override value, not "derive"
    const int expected[kLeadCount] = {
        (79 - 24 + 8) * 127 / 100,   (24 + 105 - 1) * 127 / 100, (-56 + 129 - 9) * 127 / 100,
        (-51 - 41 - 3) * 127 / 100,  (67 - 77 + 8) * 127 / 100,  (-16 + 117 - 5) * 127 / 100,
        -127,  // V1 = -205 clamped
        -127,  // V2 override
        -11,   // V3 = (69 + 38 - 116) * 127 / 100
        127,   // V4 = 194 clamped
        127,   // V5 = 220 clamped
        127,   // V6 = 177 clamped
        127, 127, 127, -9, 33};
    for (int lead = 0; lead < kLeadCount; ++lead)
        EXPECT_EQ(LeadValue(s, lead), expected[lead]) << LeadTable[lead];
    EXPECT_EQ(LeadValue(s, 1), 162) << "limb leads are not clamped";
    EXPECT_EQ(LeadValue(s, 17), 0);
    EXPECT_EQ(LeadValue(s, -1), 0);
}

TEST(LeadValue, VerticalLineMarksWhateverTheLead) {
    for (int8_t x : {int8_t{-126}, int8_t{-127}}) {
        const EcgSample s = Sample(x);
        for (int lead = 0; lead < kLeadCount; ++lead)
            EXPECT_EQ(LeadValue(s, lead), x == -126 ? -1000 : -1001) << LeadTable[lead];
    }
}

}  // namespace
}  // namespace vantrel
