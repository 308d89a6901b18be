// The strip's drawing rules, checked on the pixels of an image the size of the layout.
#include "display/ui/ecg_strip.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <memory>

namespace vantrel {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;  // strip 150..500, baselines 183 208 233 258 | 324 390 456

class EcgStripTest : public ::testing::Test {
protected:
    EcgStripTest() : store_(std::make_unique<EcgDisplay>()), strip_(*store_), image_(kWidth, kHeight, QImage::Format_RGB32) {
        image_.fill(Qt::black);
        strip_.SetLayout(kWidth, kHeight);
        strip_.SetLeftEdge(true);
    }
    void Push(int count, int8_t x = 0, int8_t ic1 = 0) {
        EcgSample sample;
        sample.bytes[0] = x;
        sample.bytes[3] = ic1;
        for (int i = 7; i <= 12; ++i) sample.bytes[i] = -128;  // precordial leads derived
        for (int i = 0; i < count; ++i) store_->PushSample(sample);
    }
    void Background() {
        QPainter p(&image_);
        strip_.DrawBackground(p);
    }
    void DrawNew() {
        QPainter p(&image_);
        strip_.DrawNew(p);
    }
    QColor At(int x, int y) const { return image_.pixelColor(x, y); }
    bool Trace(int x, int y) const { return At(x, y) == EcgStrip::TraceColour(); }

    std::unique_ptr<EcgDisplay> store_;
    EcgStrip strip_;
    QImage image_;
};

TEST_F(EcgStripTest, LayoutFollowsTheLayoutSize) {
    EXPECT_EQ(strip_.StripTop(), 150);
    EXPECT_EQ(strip_.StripBottom(), 500);
    EXPECT_EQ(strip_.StripRight(), 790);
    const int expected[7] = {183, 208, 233, 258, 324, 390, 456};
    for (int trace = 1; trace <= 7; ++trace) EXPECT_EQ(strip_.Baseline(trace), expected[trace - 1]) << trace;
    strip_.SetLeftEdge(false);
    EXPECT_EQ(strip_.StripLeft(), kWidth / 2 + 60);
    EXPECT_FLOAT_EQ(strip_.PenX(), kWidth / 2 + 60);
}

TEST_F(EcgStripTest, ConstantZeroDrawsFlatLinesOnTheSevenBaselines) {
    Background();
    Push(100);  // 50 pixels at 25 mm/s
    DrawNew();
    for (int trace = 1; trace <= 7; ++trace) {
        const int baseline = strip_.Baseline(trace);
        EXPECT_TRUE(Trace(70, baseline)) << trace;
        EXPECT_TRUE(Trace(110, baseline)) << trace;
        EXPECT_FALSE(Trace(70, baseline - 1)) << trace;
        EXPECT_FALSE(Trace(70, baseline + 1)) << trace;
    }
    EXPECT_EQ(At(70, 170), EcgStrip::BackgroundColour());
    EXPECT_FLOAT_EQ(strip_.PenX(), 115.0f);
}

TEST_F(EcgStripTest, BlankBandAheadOfThePenAtEachSpeed) {
    struct Case {
        int speedIndex;
        int band;
    };
    for (const Case c : {Case{0, 80}, Case{1, 40}, Case{2, 20}, Case{3, 10}}) {
        strip_.SetSweepSpeed(c.speedIndex);
        Background();
        // Old content to be erased, then five redraw messages' worth of samples.
        image_.fill(Qt::white);
        for (int message = 0; message < 5; ++message) {
            Push(20);
            DrawNew();
        }
        const int pen = static_cast<int>(strip_.PenX());
        for (int x = pen + 1; x < pen + c.band; ++x)
            EXPECT_EQ(At(x, 170), EcgStrip::BackgroundColour()) << "speed " << c.speedIndex << " x " << x;
        EXPECT_EQ(At(pen + c.band, 170), QColor(Qt::white)) << c.speedIndex;
    }
}

TEST_F(EcgStripTest, SpikesInTheSurfaceTracesOnly) {
    struct Case {
        int8_t x;
        int direction;  // -1 upward, +1 downward
    };
    for (const Case c : {Case{-126, -1}, Case{-127, +1}}) {
        Background();
        const int x = static_cast<int>(strip_.PenX());
        Push(1, c.x);
        DrawNew();
        for (int trace = 5; trace <= 7; ++trace) {
            const int baseline = strip_.Baseline(trace);
            EXPECT_TRUE(Trace(x, baseline + c.direction * 39)) << int(c.x) << " trace " << trace;
            EXPECT_FALSE(Trace(x, baseline + c.direction * 40)) << int(c.x) << " trace " << trace;
            EXPECT_FALSE(Trace(x, baseline - c.direction * 1)) << int(c.x) << " trace " << trace;
        }
        for (int trace = 1; trace <= 4; ++trace) {
            const int baseline = strip_.Baseline(trace);
            EXPECT_FALSE(Trace(x, baseline + c.direction * 10)) << int(c.x) << " trace " << trace;
        }
    }
}

TEST_F(EcgStripTest, AfterTheWrapATraceRestartsAtTheLeftEdge) {
    strip_.SetSweepSpeed(0);  // 2 pixels per sample
    Background();
    Push(362);  // the pen reaches x = 789
    DrawNew();
    EXPECT_FLOAT_EQ(strip_.PenX(), 789.0f);
    Push(2, 0, 40);  // intracardiac 1 at 40: 20 pixels above its baseline
    DrawNew();
    const int baseline = strip_.Baseline(1);
    EXPECT_FLOAT_EQ(strip_.PenX(), 68.0f);
    EXPECT_TRUE(Trace(65, baseline - 20));
    // No line back across the strip from the right edge.
    for (int x = 100; x < 780; x += 40)
        for (int y = baseline - 19; y < baseline; ++y) EXPECT_FALSE(Trace(x, y)) << x << "," << y;
}

TEST_F(EcgStripTest, GridOfDotsAndMajorLines) {
    strip_.ToggleGrid();
    ASSERT_TRUE(strip_.IsGridOn());
    Background();
    const QColor grid = EcgStrip::GridColour();
    EXPECT_EQ(grid, QColor(64, 128, 64));
    EXPECT_EQ(EcgStrip::BackgroundColour(), QColor(0, 0, 64));
    EXPECT_EQ(At(80, 171), grid);   // vertical major line, x multiple of 20
    EXPECT_EQ(At(84, 164), grid);   // dot
    EXPECT_EQ(At(85, 164), EcgStrip::BackgroundColour());
    EXPECT_EQ(At(86, 160), grid);   // horizontal major line, y multiple of 20
    EXPECT_EQ(At(86, 162), EcgStrip::BackgroundColour());
    // The erased band ahead of the pen gets its grid back.
    Push(20);
    DrawNew();
    EXPECT_EQ(At(100, 171), grid);
    EXPECT_EQ(At(96, 164), grid);
}

TEST_F(EcgStripTest, RedrawShowsTheLastScreenfulWithAGapAheadOfThePen) {
    Background();
    Push(600, 0, 40);
    DrawNew();
    const int pen = static_cast<int>(strip_.PenX());
    image_.fill(Qt::white);
    QPainter p(&image_);
    strip_.Redraw(p);
    p.end();
    // The newest samples end at the pen; 20 pixels further the oldest of the screenful begin
    // (zero samples, older than the first push).
    const int baseline = strip_.Baseline(1);
    EXPECT_TRUE(Trace(pen - 2, baseline - 20));
    EXPECT_FALSE(Trace(pen + 10, baseline));
    EXPECT_FALSE(Trace(pen + 10, baseline - 20));
    EXPECT_TRUE(Trace(pen + 21, baseline));
    EXPECT_FLOAT_EQ(strip_.PenX(), pen);
}

TEST(EcgStripLabel, ElapsedTimeOnlyAwayFromNormalSpeed) {
    EXPECT_EQ(EcgStrip::ElapsedLabel(1, 420), "- ms");
    EXPECT_EQ(EcgStrip::ElapsedLabel(0, 420), "420ms");
    EXPECT_EQ(EcgStrip::ElapsedLabel(10, 35), "35ms");
}

}  // namespace
}  // namespace vantrel
