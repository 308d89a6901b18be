// The rate monitor's arithmetic: the arrest accumulator per rate sample and the four labels.
#include <gtest/gtest.h>

#include "app/rate_monitor.h"

namespace vantrel {
namespace {

TEST(RateMonitor, AccumulatorStepByRate) {
    struct Case {
        int32_t before, rate, after;
    };
    const Case cases[] = {
        {0, 0, 70},     {0, 1, 70},      {0, 281, 70},   {0, 2, 28},     {0, 14, 16},  {0, 15, 0},
        {500, 15, 400}, {50, 209, 0},    {500, 210, 500}, {500, 240, 500}, {0, 241, 26}, {0, 250, 35},
        {0, 280, 65},   {1000, 100, 900},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextArrestAccumulator(c.before, c.rate), c.after) << c.before << " at " << c.rate << " bpm";
}

TEST(RateMonitor, ASustainedRateOf250ArrestsAtThe29thSample) {
    int32_t accumulator = 0;
    int samples = 0;
    while (accumulator <= kArrestThreshold) {
        accumulator = NextArrestAccumulator(accumulator, 250);
        ++samples;
    }
    EXPECT_EQ(samples, 29);
}

TEST(RateMonitor, Labels) {
    EXPECT_EQ(RateLabel(72), " 72bpm");
    EXPECT_EQ(RateLabel(1500), "999bpm");
    EXPECT_EQ(SecondRateLabel(5), "  5");
    EXPECT_EQ(PrLabel(0), "PR=0");
    EXPECT_EQ(PrLabel(499), "PR=499");
    EXPECT_EQ(PrLabel(500), " - ");
    EXPECT_EQ(PrLabel(-1), " - ");
    EXPECT_EQ(QtLabel(149), " - ");
    EXPECT_EQ(QtLabel(150), "QT=150");
    EXPECT_EQ(QtLabel(799), "QT=799");
    EXPECT_EQ(QtLabel(800), " - ");
}

}  // namespace
}  // namespace vantrel
