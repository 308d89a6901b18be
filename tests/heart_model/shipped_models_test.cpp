// Every heart model that ships in data/Clinic loads as the desktop loads it, with its stored
// checksum compared (no "/NOCS"), and beats when it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
        HeartRunSpec request;
        request.model = model;
        request.seconds = 10;
        const HeartRun run = RunShippedHeart(request);
        ASSERT_TRUE(run.ok) << run.error;
        EXPECT_EQ(run.messages, "") << "no message box at load";
        EXPECT_EQ(run.heart->storedChecksum, run.heart->computedChecksum);
        EXPECT_GT(run.summary.complexes, 5);
        EXPECT_GE(run.beats.size(), 5u);
        EXPECT_GT(run.summary.heartRate, 30);
    }
}

// Every model keeps the normal heart's landmark cells at their places, so that the electrodes
// (cells 10, 40, 60, 80), the atrial rate counter (cell 5), the pacemaker leads and the premature
// beats act alike in all of them, and names a comment page that ships beside it.
TEST(ShippedModels, EachKeepsTheLandmarkCellsAndHasItsCommentPage) {
    struct Landmark {
        const char* name;
        int32_t index;  // -1: anywhere
    };
    const Landmark landmarks[] = {{"Sinus", 0}, {"RA5", 5},   {"RA10", 10}, {"RA11", -1},
                                  {"AVN1", -1}, {"His", 40},  {"IV5", 60},  {"LV3", 80},
                                  {"LV33", -1}, {"LV28", -1}, {"RV1", -1},  {"PV2", -1}};
    for (const std::string& model : ShippedModels()) {
        SCOPED_TRACE(model);
        HeartRunSpec request;
        request.model = model;
        request.seconds = 0.01;
        const HeartRun run = RunShippedHeart(request);
        ASSERT_TRUE(run.ok) << run.error;
        for (const Landmark& l : landmarks) {
            const int32_t at = run.heart->FindCell(l.name);
            EXPECT_GE(at, 0) << l.name;
            if (l.index >= 0) {
                EXPECT_EQ(at, l.index) << l.name;
            }
        }
        const std::string& comments = run.heart->modelComments;
        ASSERT_EQ(comments.rfind("File ", 0), 0u) << "the comments name a page";
        std::string page = comments.substr(5);
        page.erase(page.find_first_of("\r\n"));
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(VANTREL_DATA_DIR) / "Clinic" /
                                                     (page + ".htm")))
            << page;
    }
}

}  // namespace
}  // namespace vantrel::testing
