// Clicks on the heart picture through Qt Test, on a small screen that hosts the picture the way
// the view does: cells open their settings, links cycle their type, the "I.C." buttons and the
// pacemaker panel start placements that the next click completes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <vector>

#include "display/ui/heart_picture_2d.h"
#include "display/ui/heart_picture_mouse.h"
#include "picture_heart.h"

namespace vantrel {
namespace {

using testing::kLayoutHeight;
using testing::kLayoutWidth;

// The heart-model screen reduced to the picture, the four "I.C." buttons and a record of what
// the click handler asked of it.
class PictureScreen : public QWidget, public HeartPictureHost {
public:
    explicit PictureScreen(CCoeur& heart)
        : picture(heart, kLayoutWidth, kLayoutHeight),
          mouse(heart, picture, *this),
          canvas(kLayoutWidth, kLayoutHeight, QImage::Format_RGB32) {
        resize(kLayoutWidth, kLayoutHeight);
        canvas.fill(Qt::black);
        for (int k = 1; k <= 4; ++k) {
            auto* button = new QPushButton(IcButtonCaption(k, true), this);
            button->setGeometry(kLayoutWidth / 2, 380 + 50 * k, 60, 20);
            connect(button, &QPushButton::clicked, this, [this, k] { mouse.StartPlacingIc(k); });
            ic[k - 1] = button;
        }
        RedrawHeart();
    }

    void OpenCellSetting(int32_t cell) override { opened.push_back(cell); }
    void RepaintView() override { ++repaints; }
    void RedrawLink(int32_t link) override {
        QPainter p(&canvas);
        picture.DrawLink2D(p, link);
    }
    void RedrawHeart() override {
        ++redraws;
        QPainter p(&canvas);
        const int32_t baselines[4] = {430, 480, 530, 580};
        picture.RedrawHeart(p, kStyleName, baselines);
    }
    void SetIcButtonCaption(int k, const QString& caption) override { ic[k - 1]->setText(caption); }
    void ShowPlacingCursor(bool on) override { setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor); }

    void Click(int x, int y) { QTest::mouseClick(this, Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); }

    HeartPicture2D picture;
    HeartPictureMouse mouse;
    QImage canvas;
    QPushButton* ic[4] = {};
    std::vector<int32_t> opened;
    int repaints = 0;
    int redraws = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            mouse.OnLButtonDown(event->position().toPoint().x(), event->position().toPoint().y());
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, canvas); }
};

class PictureMouseTest : public ::testing::Test {
protected:
    std::unique_ptr<CCoeur> heart = testing::MakePictureHeart();
    std::unique_ptr<PictureScreen> screen = std::make_unique<PictureScreen>(*heart);
};

TEST_F(PictureMouseTest, ClickOnALinkCyclesItsTypeBackAfterFour) {
    // Link 0's midpoint is (195, 105).
    const LinkType expected[] = {LinkType::BlocAntero, LinkType::BlocRetro, LinkType::BlocComplet,
                                 LinkType::Bidir};
    for (LinkType type : expected) {
        screen->Click(195, 105);
        EXPECT_EQ(heart->links[0].linkType, type);
        EXPECT_EQ(screen->canvas.pixel(150, 105) & 0xFFFFFF, LinkColour(type).rgb() & 0xFFFFFF)
            << "redrawn at once";
    }
    EXPECT_TRUE(screen->opened.empty());
    EXPECT_EQ(heart->links[1].linkType, LinkType::Bidir);
}

TEST_F(PictureMouseTest, ClickOnACellOpensItsSettingsThenRepaints) {
    screen->Click(270, 105);
    ASSERT_EQ(screen->opened, std::vector<int32_t>{1});
    EXPECT_EQ(screen->repaints, 1);
    screen->Click(600, 650);
    EXPECT_EQ(screen->opened.size(), 1u) << "empty space does nothing";
    EXPECT_EQ(screen->repaints, 1);
}

TEST_F(PictureMouseTest, EmptyClickWhilePlacingIc2RemovesIt) {
    heart->icCell[1] = 0;
    QTest::mouseClick(screen->ic[1], Qt::LeftButton);
    EXPECT_EQ(screen->mouse.PendingElectrode(), 2);
    EXPECT_TRUE(screen->mouse.PlacingCursor());
    EXPECT_EQ(screen->cursor().shape(), Qt::PointingHandCursor);
    const int redrawsBefore = screen->redraws;
    screen->Click(600, 650);
    EXPECT_EQ(heart->icCell[1], -1);
    EXPECT_EQ(heart->electrodes[1].cell, -1);
    EXPECT_EQ(screen->ic[1]->text(), "I.C.2 ?");
    EXPECT_EQ(screen->redraws, redrawsBefore + 1);
    EXPECT_EQ(screen->mouse.PendingElectrode(), 0);
    EXPECT_FALSE(screen->mouse.PlacingCursor());
    EXPECT_EQ(screen->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(screen->opened.empty());
}

TEST_F(PictureMouseTest, PlacingAnIntracardiacElectrodeOnACellFramesIt) {
    QTest::mouseClick(screen->ic[3], Qt::LeftButton);
    screen->Click(110, 105);
    EXPECT_EQ(heart->icCell[3], 0);
    EXPECT_EQ(heart->cells[0].electrodeMark, 4);
    EXPECT_EQ(screen->ic[3]->text(), "I.C.4");
    EXPECT_EQ(screen->canvas.pixel(99, 106) & 0xFFFFFF, qRgb(255, 100, 255) & 0xFFFFFF);
    EXPECT_TRUE(screen->opened.empty()) << "the placing click does not open the dialog";
}

TEST_F(PictureMouseTest, PacemakerLeadPlacedFromThePanel) {
    heart->pmMode = kPmDdd;
    screen->RedrawHeart();
    screen->Click(440, 520);  // the "V" rectangle
    EXPECT_EQ(screen->mouse.PendingElectrode(), kElectrodeVentricular);
    EXPECT_TRUE(screen->mouse.PlacingCursor());
    screen->Click(205, 305);  // the "LV" octagon's click box
    EXPECT_EQ(heart->pmVentricularCell, 2);
    EXPECT_EQ(heart->cells[2].electrodeMark, kElectrodeVentricular);
    EXPECT_EQ(screen->mouse.PendingElectrode(), 0);
    EXPECT_EQ(screen->canvas.pixel(460, 517) & 0xFFFFFF, qRgb(255, 80, 80) & 0xFFFFFF);
}

TEST_F(PictureMouseTest, PanelIgnoresLeadsTheModeDoesNotUse) {
    heart->pmMode = kPmVvi;
    screen->Click(440, 505);  // "A" is grey in VVI
    EXPECT_EQ(screen->mouse.PendingElectrode(), 0);
    heart->pmMode = kPmNone;
    screen->Click(440, 520);
    EXPECT_EQ(screen->mouse.PendingElectrode(), 0) << "no panel without a pacemaker";
}

TEST_F(PictureMouseTest, PlacementSurvivesAScreenChangeButTheHandCursorDoesNot) {
    QTest::mouseClick(screen->ic[0], Qt::LeftButton);
    screen->mouse.DropCursor();
    EXPECT_FALSE(screen->mouse.PlacingCursor());
    EXPECT_EQ(screen->mouse.PendingElectrode(), 1);
    screen->Click(270, 105);
    EXPECT_EQ(heart->icCell[0], 1);
}

}  // namespace
}  // namespace vantrel
