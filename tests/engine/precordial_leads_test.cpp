// The six standard precordial vector terms, pinned by values worked out by hand from their
// coefficients, in the sample as synthesis writes it.
#include <gtest/gtest.h>

#include "engine/ecg_synthesis.h"
#include "heart_fixture.h"

namespace vantrel {
namespace {

// One cell in the first tick of its anterograde QRS (shape value 40): X, Y and Z are its dipole
// components divided by 10.  Every precordial list is its standard term with `weight`.
EcgSample SampleOfVector(int32_t x, int32_t y, int32_t z, int32_t weight) {
    auto heart = testing::MakeHeart(1);
    heart->icCell[0] = heart->icCell[1] = heart->icCell[2] = heart->icCell[3] = -1;
    CCell& cell = heart->cells[0];
    cell.activeWindow = 10;
    cell.qrsPhase = 8;
    cell.qrsShape[0] = 40;
    cell.dipoleX = x * 10;
    cell.dipoleY = y * 10;
    cell.dipoleZ = z * 10;
    for (int k = 0; k < kPrecordialLeads; ++k) {
        heart->precordial[k][0][0] = kStandardVectorTerm;
        heart->precordial[k][0][1] = weight;
        heart->precordial[k][1][0] = -1;
    }
    EcgSample s;
    Synthesise(*heart, s);
    return s;
}

TEST(PrecordialLeads, StandardTermsOfTheSixLeads) {
    struct Case {
        const char* name;
        int32_t x, y, z, weight;
        int8_t b0, b1, b2;  // the surface bytes (Z stored negated)
        int8_t v[6];
    };
    const Case cases[] = {
        // V1 = -(52*40 + 6*20 + 104*-10) / 100 = -11; V2 = (176*10 - 35*20 - 15*40) / 100 = 4;
        // V3 = (69*40 + 38*20 - 116*-10) / 100 = 46; V4 = (134*40 + 68*20 - 49*-10) / 100 = 72;
        // V5 = (109*40 + 64*20 - 10) / 100 = 56; V6 = (65*40 + 52*20 + 23*-10) / 100 = 34.
        {"small vector", 40, 20, 10, 100, 40, 20, -10, {-11, 4, 46, 72, 56, 34}},
        // The same vector reversed: every term changes sign, truncated toward zero.
        {"reversed", -40, -20, -10, 100, -40, -20, 10, {11, -4, -46, -72, -56, -34}},
        // Saturated surface bytes 127, -126, -127.  V2 takes the unclamped X, Y, Z:
        // (176*300 - 35*-150 - 15*200) / 100 = 550, times 10 / 100 = 55 (the bytes would give 24).
        // V1 = -(52*127 + 6*-126 + 104*-127) / 100 = 73 -> 7; V3 = 18707 / 100 = 187 -> 18;
        // V4 = 14673 / 100 = 146 -> 14; V5 = 5652 / 100 = 56 -> 5; V6 = -1218 / 100 = -12 -> -1.
        {"saturated", 200, -150, 300, 10, 127, -126, -127, {7, 55, 18, 14, 5, -1}},
        // A weight scales the term before the clamp to -127..127.
        {"clamped", 40, 20, 10, 500, 40, 20, -10, {-55, 20, 127, 127, 127, 127}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EcgSample s = SampleOfVector(c.x, c.y, c.z, c.weight);
        EXPECT_EQ(s.bytes[kEcgX], c.b0);
        EXPECT_EQ(s.bytes[kEcgY], c.b1);
        EXPECT_EQ(s.bytes[kEcgZ], c.b2);
        for (int k = 0; k < kPrecordialLeads; ++k) EXPECT_EQ(s.bytes[kEcgV1 + k], c.v[k]) << "V" << k + 1;
    }
}

TEST(PrecordialLeads, TheTermFunctionOnItsOwn) {
    // Lead index, X, Y, stored (negated) Z, and the term.
    struct Case {
        int lead;
        int32_t x, y, negatedZ, term;
    };
    const Case cases[] = {
        {0, 100, 0, 0, -52}, {0, 0, 100, 0, -6},  {0, 0, 0, 100, -104},
        {1, 100, 0, 0, -15}, {1, 0, 100, 0, -35}, {1, 0, 0, 100, -176},  // (176 Z - 35 Y - 15 X)
        {2, 100, 0, 0, 69},  {2, 0, 100, 0, 38},  {2, 0, 0, 100, -116},
        {3, 100, 0, 0, 134}, {3, 0, 100, 0, 68},  {3, 0, 0, 100, -49},
        {4, 100, 0, 0, 109}, {4, 0, 100, 0, 64},  {4, 0, 0, 100, 1},
        {5, 100, 0, 0, 65},  {5, 0, 100, 0, 52},  {5, 0, 0, 100, 23},
        {0, 1, 1, 1, -1},    {2, 1, 1, -1, 2},     {5, -1, -1, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StandardVectorTerm(c.lead, c.x, c.y, c.negatedZ), c.term)
            << "V" << c.lead + 1 << " " << c.x << " " << c.y << " " << c.negatedZ;
}

}  // namespace
}  // namespace vantrel
