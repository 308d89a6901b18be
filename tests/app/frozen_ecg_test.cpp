// The frozen screen's drawing rules, checked on the pixels of an image the size of the layout:
// the trend and its cursor, the frozen stretch, the calipers and their texts; the positions that
// clicks select, the move steps, and the queue of strips for the printed page.
#include "display/ui/frozen_ecg.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <memory>

#include "app/printing/strip_print_queue.h"
#include "display/ui/ecg_print_page.h"
#include "display/ui/ecg_strip.h"
#include "display/ui/rate_trend.h"
#include "engine/heart_rate_ring.h"

namespace vantrel {
namespace {

constexpr int kWidth = 1366;
constexpr int kHeight = 736;  // strip 184..636

class FrozenEcgTest : public ::testing::Test {
protected:
    FrozenEcgTest()
        : live_(std::make_unique<EcgDisplay>()), record_(std::make_unique<FrozenRecord>()), strip_(*live_),
          frozen_(*record_, strip_), image_(kWidth, kHeight, QImage::Format_RGB32) {
        image_.fill(Qt::black);
        strip_.SetLayout(kWidth, kHeight);
        strip_.SetLeftEdge(true);
        strip_.SetSweepSpeed(2);  // 25 mm/s, 0.5 pixel per sample
        font_.setFamily("Arial");
        font_.setPixelSize(14);
    }
    void Draw(int32_t position) {
        QPainter p(&image_);
        frozen_.DrawFrozen(p, position, kWidth, kHeight, font_);
    }
    QColor At(int x, int y) const { return image_.pixelColor(x, y); }
    bool HasColour(QRect area, QColor colour) const {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (At(x, y) == colour) return true;
        return false;
    }

    std::unique_ptr<EcgDisplay> live_;
    std::unique_ptr<FrozenRecord> record_;
    EcgStrip strip_;
    FrozenEcg frozen_;
    QImage image_;
    QFont font_;
};

TEST_F(FrozenEcgTest, CursorStandsAtTheShownPosition) {
    for (int32_t a : {0, 5, 100, 450, 900}) {
        Draw(a);
        const int x = 440 - 2 * a / 5;
        EXPECT_EQ(x, TrendCursorX(a));
        // Dotted from y = 158 upward: every other pixel.
        EXPECT_EQ(At(x, 120), TrendCursorColour()) << a;
        EXPECT_NE(At(x, 121), TrendCursorColour()) << a;
        EXPECT_NE(At(x + 1, 120), TrendCursorColour()) << a;
        EXPECT_EQ(frozen_.FrozenPosition(), a);
    }
    Draw(-1);  // the position last drawn
    EXPECT_EQ(At(TrendCursorX(900), 120), TrendCursorColour());
}

TEST_F(FrozenEcgTest, TrendDrawsOnePixelPerBeatAndClampsAbove157) {
    struct Case {
        int rate;
        int y;
    } cases[] = {{0, 158}, {60, 98}, {157, 1}, {200, 1}, {300, 1}};
    for (const Case& c : cases) {
        HeartRateRing rates;
        for (int k = 0; k < kRateRingSize; ++k) rates.PushHeartRate(c.rate);
        record_->Freeze(*live_, rates);
        image_.fill(Qt::black);
        Draw(900);  // cursor out of the way, at the axis
        for (int x : {86, 200, 439}) EXPECT_EQ(At(x, c.y), TrendGridColour()) << c.rate << " at " << x;
        if (c.y > 2) {
            EXPECT_EQ(At(300, c.y - 1), TrendPanelColour()) << c.rate;
        }
    }
}

TEST_F(FrozenEcgTest, TrendPanelAxisAndTicks) {
    Draw(0);
    EXPECT_EQ(At(40, 1), TrendPanelColour());
    EXPECT_EQ(At(kWidth - 6, 167), TrendPanelColour());
    EXPECT_EQ(At(80, 100), TrendGridColour());   // the axis
    EXPECT_EQ(At(70, 108), TrendGridColour());   // long tick of 50
    EXPECT_EQ(At(74, 118), TrendPanelColour());  // short tick of 40 starts at 75
    EXPECT_EQ(At(75, 118), TrendGridColour());
    EXPECT_EQ(At(629, 108), TrendGridColour());  // solid line of 50 to 630
    EXPECT_EQ(At(630, 108), TrendPanelColour());
    EXPECT_EQ(At(82, 118), TrendGridColour());   // dotted line of 40
    EXPECT_EQ(At(83, 118), TrendPanelColour());
    EXPECT_EQ(At(200, 162), TrendGridColour());  // 5-minute tick to 163
    EXPECT_EQ(At(104, 160), TrendGridColour());  // minute tick to 161
    EXPECT_EQ(At(104, 161), TrendPanelColour());
}

TEST_F(FrozenEcgTest, StretchDrawsTheFrozenSamplesOnTheStripBaselines) {
    // The last 20 s of the record: I.C.1 at 20 units, X at 40 (lead I 31, II 9, V1 -20).
    for (int32_t k = kRingSamples - 4000; k < kRingSamples; ++k) {
        record_->frozenRing[k].bytes[3] = 20;
        record_->frozenRing[k].bytes[0] = 40;
        for (int i = 7; i <= 12; ++i) record_->frozenRing[k].bytes[i] = -128;
    }
    Draw(0);
    const QColor trace = EcgStrip::TraceColour();
    for (int x : {200, 700, 1300}) {
        EXPECT_EQ(At(x, strip_.Baseline(1) - 10), trace) << x;
        EXPECT_EQ(At(x, strip_.Baseline(2)), trace) << x;
        EXPECT_EQ(At(x, strip_.Baseline(5) - 31 * 8 / 16), trace) << x;
        EXPECT_EQ(At(x, strip_.Baseline(6) - 9 * 8 / 16), trace) << x;
        EXPECT_EQ(At(x, strip_.Baseline(7) + 10), trace) << x;
    }
    // Before the data (900 s back) the strip starts at the first sample, which is flat.
    image_.fill(Qt::black);
    Draw(900);
    EXPECT_EQ(At(700, strip_.Baseline(1)), trace);
}

TEST_F(FrozenEcgTest, TimeLabelIsTheStartOfTheStretch) {
    EXPECT_EQ(FrozenEcg::TimeLabel(0), "00:00");
    EXPECT_EQ(FrozenEcg::TimeLabel(14 * 12000 + 59 * 200), "14:59");
    EXPECT_EQ(FrozenEcg::TimeLabel(kRingSamples), "15:00");
    Draw(0);
    // Black text on grey, left of the strip, baseline at the strip bottom.
    EXPECT_TRUE(HasColour(QRect(6, kHeight - 112, 40, 12), Qt::black));
    EXPECT_TRUE(HasColour(QRect(6, kHeight - 112, 40, 12), TrendPanelColour()));
}

TEST_F(FrozenEcgTest, CalipersMeasureTheIntervalAndTheRate) {
    struct Case {
        int32_t x1, x2;
        int speedIndex;
        QString ms, rate;
    } cases[] = {
        {300, 400, 2, "1000ms ", "(60000/1000=60)"},  // 100 pixels at 25 mm/s
        {300, 400, 1, "500ms  ", "(60000/500=120)"},
        {300, 310, 2, "100ms  ", ""},                  // not above 100 ms: no rate
        {400, 300, 2, "-1000ms", ""},                  // second left of the first
    };
    for (const Case& c : cases) {
        strip_.SetSweepSpeed(c.speedIndex);
        const int32_t ms = FrozenEcg::CaliperMs(c.x1, c.x2, strip_.Step());
        EXPECT_EQ(FrozenEcg::CaliperMsText(ms), c.ms);
        EXPECT_EQ(FrozenEcg::CaliperRateText(ms), c.rate);
    }
    strip_.SetSweepSpeed(2);
    const int top = strip_.StripTop();
    ASSERT_TRUE(frozen_.SetCalipers(300, top + 50));
    ASSERT_TRUE(frozen_.SetCalipers(400, top + 50));
    Draw(0);
    EXPECT_EQ(At(300, top + 40), TrendCursorColour());
    EXPECT_EQ(At(400, top + 40), TrendCursorColour());
    EXPECT_NE(At(400, top + 41), TrendCursorColour());
    // The texts: black on grey at (75, top + 16) and (135, top + 16).
    EXPECT_TRUE(HasColour(QRect(75, top + 5, 50, 12), Qt::black));
    EXPECT_TRUE(HasColour(QRect(135, top + 5, 100, 12), Qt::black));
    EXPECT_TRUE(HasColour(QRect(135, top + 5, 100, 12), TrendPanelColour()));
}

TEST_F(FrozenEcgTest, ClicksInTheStripSetCalipersAndDropTheOldest) {
    const int top = strip_.StripTop();
    const int bottom = strip_.StripBottom();
    EXPECT_FALSE(frozen_.SetCalipers(64, top + 10));      // left of the strip
    EXPECT_FALSE(frozen_.SetCalipers(kWidth - 10, top + 10));  // right edge excluded
    EXPECT_FALSE(frozen_.SetCalipers(200, bottom));        // bottom edge excluded
    EXPECT_FALSE(frozen_.SetCalipers(200, top - 1));
    EXPECT_EQ(frozen_.Caliper2X(), 0);
    EXPECT_TRUE(frozen_.SetCalipers(100, top));
    EXPECT_TRUE(frozen_.SetCalipers(200, bottom - 1));
    EXPECT_TRUE(frozen_.SetCalipers(300, top + 1));
    EXPECT_EQ(frozen_.Caliper1X(), 200);
    EXPECT_EQ(frozen_.Caliper2X(), 300);
    frozen_.ClearCalipers();
    EXPECT_EQ(frozen_.Caliper1X() + frozen_.Caliper2X(), 0);
}

TEST(TrendClickTest, PositionsInStepsOfFiveSeconds) {
    struct Case {
        int x, y;
        std::optional<int32_t> position;
    } cases[] = {
        {80, 100, 900}, {81, 100, 900}, {82, 100, 895}, {260, 100, 450}, {438, 100, 5}, {439, 100, 5},
        {440, 100, std::nullopt}, {79, 100, std::nullopt}, {200, 1, 600}, {200, 0, std::nullopt},
        {200, 157, 600}, {200, 158, std::nullopt},
    };
    // A strip from y = 192 leaves room for the whole panel.
    for (const Case& c : cases) EXPECT_EQ(TrendPositionAt(c.x, c.y, 192), c.position) << c.x << "," << c.y;
}

TEST(TrendRowsTest, TheTrendEndsAboveAStripThatStartsHigh) {
    struct Case {
        int32_t stripTop;
        int bottom, baseline;  // the panel's last row, rate 0
        int rate157, rate50;   // the rows of 157 and 50 beats per minute
    } cases[] = {
        {192, 167, 158, 1, 108},  // room for the whole panel: one pixel per beat per minute
        {169, 167, 158, 1, 108},
        {162, 160, 151, 1, 104},  // a window of 1024 x 640
        {122, 120, 111, 1, 76},   // the smallest view
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stripTop);
        const TrendRows rows = TrendRowsAbove(c.stripTop);
        EXPECT_EQ(rows.bottom, c.bottom);
        EXPECT_LT(rows.bottom, c.stripTop);
        EXPECT_EQ(rows.baselineY, c.baseline);
        EXPECT_EQ(rows.RateY(157), c.rate157);
        EXPECT_EQ(rows.RateY(50), c.rate50);
        EXPECT_EQ(TrendPositionAt(200, c.baseline - 1, c.stripTop), 600) << "the row above rate 0 answers";
        EXPECT_EQ(TrendPositionAt(200, c.baseline, c.stripTop), std::nullopt);
        // Drawn, the grey panel stops above the strip.
        QImage image(640, 200, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter p(&image);
            const uint8_t rates[kRateRingSize] = {};
            DrawRateTrend(p, rates, 640, c.stripTop, QFont("Arial"));
        }
        EXPECT_EQ(image.pixelColor(600, c.bottom), TrendPanelColour());
        EXPECT_EQ(image.pixelColor(600, c.bottom + 1), QColor(Qt::black));
    }
}

TEST(MoveStepTest, SecondsPerMoveAtEachSweepSpeed) {
    struct Case {
        float step;
        int32_t seconds;
    } cases[] = {{2.0f, 1}, {1.0f, 2}, {0.5f, 4}, {0.25f, 8}};
    for (const Case& c : cases) EXPECT_EQ(FrozenEcg::MoveStepSeconds(c.step), c.seconds) << c.step;
}

// Presses "Print ECG strip" from a shown position the way the view does: the screen moves on to
// the offset the press leaves.  Returns the press that printed the page, or 0.
class PrintQueueTest : public FrozenEcgTest {
protected:
    int Press(int times) {
        for (int press = 1; press <= times; ++press) {
            if (PressPrintStrip(frozen_, printCount_, offset_)) return press;
            frozen_.SetFrozenPosition(offset_);
        }
        return 0;
    }
    std::vector<int32_t> PagePositions() {
        PrintPageMetrics metrics;
        metrics.printableHeight = 11 * 600;
        PrintedStrip strips[6];
        const int count = PlanPrintedStrips(frozen_, metrics, strips);
        std::vector<int32_t> positions;
        for (int i = 0; i < count; ++i) positions.push_back(strips[i].position);
        return positions;
    }
    int32_t printCount_ = 0;
    int32_t offset_ = 0;
};

TEST_F(PrintQueueTest, FromTwentyThreeStripsThenTheQueueEnds) {
    frozen_.SetFrozenPosition(20);
    EXPECT_EQ(Press(3), 0);
    EXPECT_EQ(offset_, 0);
    EXPECT_EQ(printCount_, 3);
    EXPECT_EQ(Press(3), 3);  // the sixth press prints
    EXPECT_EQ(printCount_, 0);
    EXPECT_EQ(PagePositions(), (std::vector<int32_t>{20, 13, 6}));
}

TEST_F(PrintQueueTest, FromSixtySixStrips) {
    frozen_.SetFrozenPosition(60);
    EXPECT_EQ(Press(6), 6);
    EXPECT_EQ(PagePositions(), (std::vector<int32_t>{60, 53, 46, 39, 32, 25}));
}

TEST_F(PrintQueueTest, TwoQueuedStripsAndTheOneOnShow) {
    // Two presses, then a change of screen prints what is queued and the strip on show.
    frozen_.SetFrozenPosition(60);
    EXPECT_EQ(Press(2), 0);
    EXPECT_EQ(PagePositions(), (std::vector<int32_t>{60, 53, 46}));
}

TEST_F(PrintQueueTest, StripsLieOneAndThreeQuarterInchesApart) {
    frozen_.SetFrozenPosition(60);
    Press(6);
    PrintPageMetrics metrics;
    metrics.dpiY = 600;
    metrics.printableHeight = 7000;
    PrintedStrip strips[6];
    ASSERT_EQ(PlanPrintedStrips(frozen_, metrics, strips), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(strips[i].top, 100 + i * 1056);
        EXPECT_EQ(strips[i].bottom, strips[i].top + 1056 - 20);
    }
    // A page too short for six such strips gets them closer together, all on the page.
    metrics.printableHeight = 6000;
    PlanPrintedStrips(frozen_, metrics, strips);
    EXPECT_LE(strips[5].bottom, 6000);
}

}  // namespace
}  // namespace vantrel
