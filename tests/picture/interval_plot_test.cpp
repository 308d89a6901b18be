// The PR and QT against RR plot on the pixels of a rendered dialog area, and its buffer buttons.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "app/dialogs/display_qt_dialog.h"
#include "display/ui/interval_plot.h"

namespace vantrel {
namespace {

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

class IntervalPlotTest : public ::testing::Test {
protected:
    IntervalPlotTest() : image(CDisplayQT::InitialSize(), QImage::Format_RGB32) {}

    void Draw(bool showCurrent, bool showReference) {
        image.fill(Qt::lightGray);
        QPainter p(&image);
        IntervalPlotData data;
        data.current = current;
        data.reference = reference;
        data.showCurrent = showCurrent;
        data.showReference = showReference;
        DrawIntervalPlot(p, CDisplayQT::InitialFrame(), data);
    }
    // The plot's h: the frame less 4 pixels on each side.
    int H() const { return CDisplayQT::InitialFrame().height() - 8; }
    QRgb At(QPoint at) const { return image.pixel(at) & 0xFFFFFF; }
    int Count(QRgb colour) const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
        return n;
    }

    IntervalEntry current[kIntervalTableSize] = {};
    IntervalEntry reference[kIntervalTableSize] = {};
    QImage image;
};

TEST_F(IntervalPlotTest, BeatOfRr800Pr160Qt360) {
    current[0] = {800, 160, 360};
    Draw(true, true);
    EXPECT_EQ(IntervalDot(800, 160, H()), QPoint(350, H() - 100));
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            EXPECT_EQ(At(QPoint(350 + dx, H() - 100 + dy)), Rgb(255, 0, 0));
            EXPECT_EQ(At(QPoint(350 + dx, H() - 200 + dy)), Rgb(0, 0, 255));
        }
    EXPECT_EQ(Count(Rgb(255, 0, 0)), 9);
}

TEST_F(IntervalPlotTest, ReferenceColoursCheckBoxesAndEmptyEntries) {
    current[0] = {800, 160, 360};
    current[1] = {1, 100, 300};  // empty: RR below 2
    reference[5] = {600, 140, 320};
    Draw(true, true);
    EXPECT_EQ(At(IntervalDot(600, 320, H())), Rgb(255, 0, 255));
    EXPECT_EQ(At(IntervalDot(600, 140, H())), Rgb(255, 150, 0));
    EXPECT_EQ(Count(Rgb(0, 0, 255)), 9);
    Draw(false, true);
    EXPECT_EQ(Count(Rgb(0, 0, 255)), 0);
    EXPECT_EQ(Count(Rgb(255, 0, 255)), 9);
    Draw(false, false);  // the axes only
    EXPECT_EQ(Count(Rgb(255, 0, 255)) + Count(Rgb(255, 150, 0)) + Count(Rgb(255, 0, 0)), 0);
    EXPECT_EQ(At(QPoint(50, H() - 20)), Rgb(0, 0, 0)) << "axes' origin";
}

TEST(DisplayQtDialog, SaveAndClearBuffer) {
    auto heart = std::make_unique<CCoeur>();
    heart->intervalTable[0] = {800, 160, 360};
    heart->intervalIndex = 7;
    CDisplayQT dialog(*heart, nullptr);
    dialog.resize(CDisplayQT::InitialSize());  // the first size, whatever the test screen's size
    EXPECT_EQ(dialog.windowTitle(), "PR (red) & QT (blue) f(RR)");
    EXPECT_TRUE(dialog.ShowCurrent());
    EXPECT_TRUE(dialog.ShowMemory());
    dialog.SaveBuffer();
    EXPECT_EQ(heart->referenceTable[0].rr, 800);
    dialog.ClearBuffer();
    EXPECT_EQ(heart->intervalTable[0].rr, 0);
    EXPECT_EQ(heart->referenceTable[0].qt, 360) << "the reference stays";
    EXPECT_EQ(heart->intervalIndex, 7) << "new beats go on from the current index";
    // What the dialog shows at its first size: only the reference dots remain.
    QImage shown(dialog.size(), QImage::Format_RGB32);
    dialog.render(&shown);
    const QPoint blue = IntervalDot(800, 360, CDisplayQT::InitialFrame().height() - 8);
    EXPECT_EQ(shown.pixel(blue) & 0xFFFFFF, Rgb(255, 0, 255));
}

}  // namespace
}  // namespace vantrel
