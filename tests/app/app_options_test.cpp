// The desktop's command line: every option, the checksum switches in both spellings, and the
// mistakes that stop the program with a message.
#include <gtest/gtest.h>

#include "app/app_options.h"

namespace vantrel {
namespace {

TEST(AppOptions, EveryOptionIsTaken) {
    const AppOptions o = ParseAppOptions({"--data", "/x/y", "--screenshot", "s.png", "--quit-after", "2.5", "/XCS"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.dataDirectory, "/x/y");
    EXPECT_EQ(o.screenshotFile, "s.png");
    EXPECT_DOUBLE_EQ(o.quitAfterSeconds, 2.5);
    EXPECT_TRUE(o.showChecksum);
    EXPECT_FALSE(o.skipChecksum);
}

TEST(AppOptions, DefaultsAndTheSwitches) {
    struct Case {
        std::vector<std::string> arguments;
        bool showChecksum, skipChecksum;
        double quitAfter;
    };
    const Case cases[] = {
        {{}, false, false, -1},
        {{"/NOCS"}, false, true, -1},
        {{"--nocs"}, false, true, -1},
        {{"--xcs", "/NOCS"}, true, true, -1},
        {{"--screenshot", "a.png"}, false, false, 5},  // a screenshot alone waits 5 s
        {{"--quit-after", "0"}, false, false, 0},
    };
    for (const Case& c : cases) {
        const AppOptions o = ParseAppOptions(c.arguments);
        EXPECT_TRUE(o.error.empty()) << o.error;
        EXPECT_EQ(o.showChecksum, c.showChecksum);
        EXPECT_EQ(o.skipChecksum, c.skipChecksum);
        EXPECT_DOUBLE_EQ(o.quitAfterSeconds, c.quitAfter);
    }
}

TEST(AppOptions, MistakesAreNamed) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"--data"}, "--data needs a value"},
        {{"--quit-after", "soon"}, "--quit-after needs a number of seconds, not \"soon\""},
        {{"--quit-after", "-1"}, "--quit-after needs a number of seconds, not \"-1\""},
        {{"--quit-after", "nan"}, "--quit-after needs a number of seconds, not \"nan\""},
        {{"--frozen"}, "unknown option \"--frozen\""},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseAppOptions(c.arguments).error, c.error);
}

}  // namespace
}  // namespace vantrel
