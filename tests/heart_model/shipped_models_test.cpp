// Every heart model that ships in data/Clinic loads as the desktop loads it, with its stored
// checksum compared (no "/NOCS"), and beats when it runs.
#include <gtest/gtest.h>

#include <algorithm>

#include "heart_run.h"

namespace vantrel::testing {
namespace {

TEST(ShippedModels, TheDefaultModelShips) {
    const std::vector<std::string> models = ShippedModels();
    EXPECT_NE(std::find(models.begin(), models.end(), "1.1 Normal.hmd"), models.end());
}

TEST(ShippedModels, EachLoadsWithItsChecksumAndBeats) {
    for (const std::string& model : ShippedModels()) {
        SCOPED_TRACE(model);
        HeartRunSpec spec;
        spec.model = model;
        spec.seconds = 10;
        const HeartRun run = RunShippedHeart(spec);
        ASSERT_TRUE(run.ok) << run.error;
        EXPECT_EQ(run.messages, "") << "no message box at load";
        EXPECT_EQ(run.heart->storedChecksum, run.heart->computedChecksum);
        EXPECT_GT(run.summary.complexes, 5);
        EXPECT_GE(run.beats.size(), 5u);
        EXPECT_GT(run.summary.heartRate, 30);
    }
}

}  // namespace
}  // namespace vantrel::testing
