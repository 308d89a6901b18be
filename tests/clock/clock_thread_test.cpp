// The clock's timer thread against the interface thread: while the clock ticks every 5 ms, the
// test edits cells and links, reads the sample ring, handles notices, toggles the speed and
// steps, the way the desktop does.  Run under ThreadSanitizer by CI.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "clock_fixture.h"
#include "engine/demo_heart.h"
#include "engine/simulation_clock.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

TEST(ClockThread, RunsWhileAnotherThreadEditsTheModel) {
    auto heart = std::make_unique<CCoeur>();
    auto display = std::make_unique<EcgDisplay>();
    BuildDemoHeart(*heart, 10, 10, 250);
    testing::RecordingNotifier notifier;
    heart->notifier = &notifier;
    SimulationClock clock(*heart, *display);
    // The synchronous handler of step-by-step redraws the cell under the model lock.
    notifier.onSend = [&](int32_t, int32_t, int32_t cell) {
        std::lock_guard<std::mutex> g(heart->lock);
        heart->cells[cell].dirty = 0;
    };
    clock.Start(2ms);
    clock.SetRunMode(kRunNormal);

    int32_t lastRead = 0;
    int64_t checksum = 0;
    const auto until = std::chrono::steady_clock::now() + 600ms;
    for (int round = 0; std::chrono::steady_clock::now() < until; ++round) {
        {
            std::lock_guard<std::mutex> g(heart->lock);
            CCell& cell = heart->cells[1 + round % 90];
            cell.SetAntCond(20 + round % 5, 15);
            cell.SetEscape(round % 7 == 0 ? 60000 : 10000, 10000);
            CellLink& link = heart->links[round % heart->linkCount];
            link.linkType = NextLinkType(link.linkType);
            heart->SetTone(300 + round % 200, false);
        }
        // The drawing side: the ring up to the published write index, without the model lock.
        const int32_t end = display->WriteIndex();
        for (; lastRead != end; lastRead = (lastRead + 1) % kRingSamples)
            checksum += display->liveRing[lastRead].bytes[kEcgX];
        // Now and then a stale notice: back-pressure from the interface thread.
        clock.OnCellNotice(clock.LastTickCount() - (round % 25 == 0 ? 10 : 0));
        if (round % 50 == 10) clock.ToggleSpeed();
        if (round % 50 == 30) {
            clock.Step();
            clock.SetRunMode(kRunNormal);
        }
        std::this_thread::sleep_for(1ms);
    }
    clock.Stop();
    std::lock_guard<std::mutex> g(heart->lock);
    EXPECT_GT(heart->tickCount, 100);
    EXPECT_GE(notifier.Count(kMsgRedraw), 2) << "the timer thread itself ticked";
    EXPECT_GT(notifier.Count(kMsgCellChanged), 0);
    (void)checksum;
}

TEST(ClockThread, StopsPromptlyAndCanRestart) {
    auto heart = std::make_unique<CCoeur>();
    auto display = std::make_unique<EcgDisplay>();
    BuildDemoHeart(*heart, 4, 4, 30);
    SimulationClock clock(*heart, *display);
    for (int run = 0; run < 3; ++run) {
        clock.Start(1ms);
        EXPECT_EQ(clock.RunMode(), kRunNotStarted);
        clock.SetRunMode(kRunNormal);
        std::this_thread::sleep_for(30ms);
        clock.Stop();
    }
    std::lock_guard<std::mutex> g(heart->lock);
    EXPECT_GT(heart->tickCount, 0);
}

}  // namespace
}  // namespace vantrel
