// The flat heart picture checked on the pixels of rendered images: cell fills in every state,
// link colours and midpoint dots, electrode frames, colour keys, the pacemaker panel, the copy to
// the screen, labels, and hit tests at the edges of their boxes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "display/ui/heart_picture_2d.h"
#include "picture_heart.h"

namespace vantrel {
namespace {

using testing::kLayoutHeight;
using testing::kLayoutWidth;

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

class PictureTest : public ::testing::Test {
protected:
    PictureTest()
        : heart(testing::MakePictureHeart()),
          picture(std::make_unique<HeartPicture2D>(*heart, kLayoutWidth, kLayoutHeight)),
          screen(kLayoutWidth, kLayoutHeight, QImage::Format_RGB32) {
        screen.fill(Qt::white);
    }

    // The view's paint: the whole picture, full height.
    void Paint(int style) {
        QPainter p(&screen);
        picture->PrepareForPaint();
        picture->DrawHeart(p, style);
    }
    QRgb At(int x, int y) const { return screen.pixel(x, y) & 0xFFFFFF; }

    std::unique_ptr<CCoeur> heart;
    std::unique_ptr<HeartPicture2D> picture;
    QImage screen;
};

struct FillCase {
    const char* what;
    int32_t arp, conduct, rrp, escapeB, style;
    QRgb expected;
};

TEST_F(PictureTest, CellFillFollowsTheStateTestsInOrder) {
    const FillCase kCases[] = {
        {"polarized", 0, 0, 0, 800, kStyleName, Rgb(64, 64, 255)},
        {"depolarization", 5, 2, 0, 800, kStyleName, Rgb(255, 255, 128)},
        {"depolarized", 5, 0, 0, 800, kStyleName, Rgb(255, 64, 64)},
        {"relative refractory", 0, 0, 4, 800, kStyleName, Rgb(255, 0, 255)},
        {"ablated", 0, 0, 0, 60000, kStyleName, Rgb(128, 0, 0)},
        {"ablated but still relatively refractory", 0, 0, 4, 60000, kStyleName, Rgb(255, 0, 255)},
        {"isochrone map, conducting", 5, 2, 0, 800, kStyleDepolarization, Rgb(255, 255, 128)},
        {"isochrone map, depolarized", 5, 0, 0, 800, kStyleDepolarization, Rgb(10, 200, 30)},
        {"isochrone map, refractory", 0, 0, 4, 800, kStyleDepolarization, Rgb(10, 200, 30)},
        {"isochrone map, ablated", 0, 0, 0, 60000, kStyleDepolarization, Rgb(10, 200, 30)},
    };
    for (const FillCase& c : kCases) {
        CCell& cell = heart->cells[0];
        cell.arpCounter = c.arp;
        cell.conductCounter = c.conduct;
        cell.rrpCounter = c.rrp;
        cell.escapeB = c.escapeB;
        cell.isoRed = 10, cell.isoGreen = 200, cell.isoBlue = 30;
        Paint(c.style);
        // Inside the 26 x 13 box, clear of the label centred at (113, 109).
        EXPECT_EQ(At(102, 102), c.expected) << c.what;
        EXPECT_EQ(At(123, 110), c.expected) << c.what;
        EXPECT_EQ(At(100, 100), Rgb(0, 0, 0)) << c.what << ": black outline";
        EXPECT_EQ(At(126, 106), Rgb(0, 0, 0)) << c.what << ": nothing right of the box";
    }
}

TEST_F(PictureTest, OctagonCellIsFilledAcrossItsWidth) {
    Paint(kStyleSkeleton);
    // Cell 2 at (200, 300): an octagon from x 170 to 230 and y 290 to 320.
    EXPECT_EQ(At(173, 305), Rgb(64, 64, 255));
    EXPECT_EQ(At(227, 305), Rgb(64, 64, 255));
    EXPECT_EQ(At(200, 292), Rgb(64, 64, 255));
    EXPECT_EQ(At(172, 292), Rgb(0, 0, 0)) << "cut corner";
}

TEST_F(PictureTest, LinksAreColouredByTypeWithADotAtTheirMidpoint) {
    const struct { LinkType type; QRgb colour; } kCases[] = {
        {LinkType::Bidir, Rgb(64, 255, 64)},
        {LinkType::BlocAntero, Rgb(255, 64, 64)},
        {LinkType::BlocRetro, Rgb(255, 255, 64)},
        {LinkType::BlocComplet, Rgb(100, 100, 100)},
    };
    for (const auto& c : kCases) {
        heart->links[0].linkType = c.type;
        Paint(kStyleSkeleton);
        // Link 0 runs along y = 105 from x 115 to 275; its midpoint is (195, 105).
        EXPECT_EQ(At(150, 105), c.colour);
        EXPECT_EQ(At(150, 104), Rgb(0, 0, 0));
        EXPECT_EQ(At(195, 103), c.colour) << "the dot reaches off the line";
    }
    heart->links[0].showMidpoint = 0;
    Paint(kStyleSkeleton);
    EXPECT_EQ(At(195, 103), Rgb(0, 0, 0)) << "no dot when the link asks for none";
    const CellLink& l = heart->links[0];
    EXPECT_EQ(QRect(QPoint(l.hitLeft, l.hitTop), QPoint(l.hitRight, l.hitBottom)),
              QRect(QPoint(187, 97), QPoint(203, 113)));
}

TEST_F(PictureTest, ElectrodeFramesTakeTheirColours) {
    heart->icCell[1] = 0;     // "I.C.2" on Sinus
    heart->pmVentricularCell = 1;  // "V" on RA
    Paint(kStyleSkeleton);
    EXPECT_EQ(At(99, 106), Rgb(255, 150, 0));
    EXPECT_EQ(At(113, 99), Rgb(255, 150, 0));
    EXPECT_EQ(At(127, 106), Rgb(255, 150, 0));
    EXPECT_EQ(At(113, 114), Rgb(255, 150, 0));
    EXPECT_EQ(At(259, 106), Rgb(255, 80, 80));
    EXPECT_EQ(At(102, 102), Rgb(64, 64, 255)) << "the frame leaves the fill alone";
    heart->icCell[1] = -1;
    Paint(kStyleSkeleton);
    EXPECT_EQ(At(99, 106), Rgb(0, 0, 0)) << "a removed electrode is not drawn";
}

TEST_F(PictureTest, ElectrodeColoursOfEveryNumber) {
    const struct { int electrode; QRgb colour; } kCases[] = {
        {0, Rgb(255, 255, 0)}, {1, Rgb(255, 150, 0)}, {2, Rgb(170, 255, 0)}, {3, Rgb(255, 100, 255)},
        {10, Rgb(0, 210, 255)}, {11, Rgb(255, 80, 80)}, {12, Rgb(200, 0, 120)}, {4, Rgb(0, 0, 0)},
        {13, Rgb(0, 0, 0)}, {-1, Rgb(0, 0, 0)}};
    for (const auto& c : kCases) EXPECT_EQ(ElectrodeColour(c.electrode).rgb() & 0xFFFFFF, c.colour) << c.electrode;
}

TEST_F(PictureTest, PaintCopiesTheLeftHalfOnlyAndRedrawSparesTheToneColumn) {
    Paint(kStyleSkeleton);
    EXPECT_EQ(At(0, 10), Rgb(255, 255, 255)) << "left of the picture";
    EXPECT_EQ(At(5, 10), Rgb(0, 0, 0));
    EXPECT_EQ(At(kLayoutWidth / 32 * 16 - 1, kLayoutHeight - 6), Rgb(0, 0, 0)) << "full height after a paint";
    EXPECT_EQ(At(kLayoutWidth / 32 * 16, 10), Rgb(255, 255, 255)) << "the strip's half";

    screen.fill(Qt::white);
    const int32_t baselines[4] = {400, 450, 500, 550};
    QPainter p(&screen);
    picture->RedrawHeart(p, kStyleSkeleton, baselines);
    p.end();
    EXPECT_EQ(At(20, 10), Rgb(255, 255, 255)) << "the redraw starts at x = 32";
    EXPECT_EQ(At(40, 10), Rgb(0, 0, 0));
    const int bottom = (kLayoutHeight - 200) / 8 * 8;
    EXPECT_EQ(picture->PictureBottom(), bottom);
    EXPECT_EQ(At(40, bottom - 1), Rgb(0, 0, 0));
    EXPECT_EQ(At(40, bottom), Rgb(255, 255, 255)) << "below the picture";
}

TEST_F(PictureTest, ColourKeysPointAtTheIntracardiacTraces) {
    const int32_t baselines[4] = {400, 450, 500, 550};
    QPainter p(&screen);
    picture->DrawIcKeys(p, baselines);
    p.end();
    const int x = kLayoutWidth / 2 - 1;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(At(x - 9, baselines[k] + 3), ElectrodeColour(k).rgb() & 0xFFFFFF) << k;
        EXPECT_EQ(At(x - 3, baselines[k] + 3), ElectrodeColour(k).rgb() & 0xFFFFFF) << k;
        EXPECT_EQ(At(x - 9, baselines[k] + 8), Rgb(255, 255, 255)) << k;
    }
}

TEST_F(PictureTest, PacemakerPanelShowsTheLeadsOfTheMode) {
    // x0 = 426, y0 = 540 for a layout of 1024 x 700.
    const PacemakerPanel& panel = picture->Panel();
    EXPECT_EQ(panel.LeadRect(kElectrodeAtrial), QRect(QPoint(429, 502), QPoint(465, 513)));
    EXPECT_EQ(panel.LeadRect(kElectrodeVentricular), QRect(QPoint(429, 515), QPoint(465, 526)));
    EXPECT_EQ(panel.LeadRect(kElectrodeVentricular2), QRect(QPoint(429, 528), QPoint(465, 538)));
    const struct { int32_t mode; QRgb a, v, v2; } kCases[] = {
        {kPmAai, Rgb(0, 210, 255), Rgb(100, 100, 100), Rgb(100, 100, 100)},
        {kPmVvi, Rgb(100, 100, 100), Rgb(255, 80, 80), Rgb(100, 100, 100)},
        {kPmDdd, Rgb(0, 210, 255), Rgb(255, 80, 80), Rgb(100, 100, 100)},
        {kPmCrt, Rgb(0, 210, 255), Rgb(255, 80, 80), Rgb(200, 0, 120)},
    };
    const int32_t leads[3] = {-1, 1, -1};
    for (const auto& c : kCases) {
        QPainter p(&screen);
        panel.Draw(p, c.mode, leads);
        p.end();
        EXPECT_EQ(At(460, 504), c.a) << c.mode;
        EXPECT_EQ(At(460, 517), c.v) << c.mode;
        EXPECT_EQ(At(460, 530), c.v2) << c.mode;
        EXPECT_EQ(At(480, 530), Rgb(190, 190, 190)) << c.mode << ": the can";
    }
    QPainter p(&screen);
    panel.Clear(p);
    p.end();
    EXPECT_EQ(At(480, 530), Rgb(0, 0, 0));
    EXPECT_EQ(At(504, 530), Rgb(0, 0, 0)) << "the can's right edge, x0 + a + 20 = 505, excluded";
    EXPECT_EQ(At(506, 530), Rgb(255, 255, 255)) << "outside the can";
}

TEST_F(PictureTest, PacemakerLeadHitsFollowTheMode) {
    const PacemakerPanel& panel = picture->Panel();
    EXPECT_EQ(panel.HitLead(429, 502, kPmDdd), kElectrodeAtrial);
    EXPECT_EQ(panel.HitLead(465, 513, kPmDdd), kElectrodeAtrial);
    EXPECT_EQ(panel.HitLead(466, 513, kPmDdd), 0);
    EXPECT_EQ(panel.HitLead(440, 514, kPmDdd), 0) << "between A and V";
    EXPECT_EQ(panel.HitLead(440, 520, kPmDdd), kElectrodeVentricular);
    EXPECT_EQ(panel.HitLead(440, 505, kPmVvi), 0) << "no atrial lead in VVI";
    EXPECT_EQ(panel.HitLead(440, 520, kPmAai), 0) << "no ventricular lead in AAI";
    EXPECT_EQ(panel.HitLead(440, 530, kPmDddPlus), 0) << "V' only in CRT";
    EXPECT_EQ(panel.HitLead(440, 530, kPmCrt), kElectrodeVentricular2);
    EXPECT_EQ(panel.HitLead(440, 505, kPmNone), 0);
}

TEST_F(PictureTest, HitCellAtTheEdgesOfEachBox) {
    const struct { int x, y, cell; } kCases[] = {
        {100, 100, 0}, {124, 112, 0}, {125, 106, -1}, {99, 106, -1}, {110, 113, -1},
        {200, 300, 2}, {240, 330, 2}, {241, 310, -1}, {199, 310, -1}, {220, 331, -1},
        {260, 100, 1}, {600, 600, -1},
    };
    for (const auto& c : kCases) EXPECT_EQ(picture->HitCell(c.x, c.y), c.cell) << c.x << "," << c.y;
    heart->cellCount = 0;
    EXPECT_EQ(picture->HitCell(100, 100), -1) << "no cells";
}

TEST_F(PictureTest, HitLinkInsideTheMidpointSquareOnly) {
    Paint(kStyleSkeleton);
    const struct { int x, y, link; } kCases[] = {
        {195, 105, 0}, {187, 97, 0}, {202, 112, 0}, {203, 105, -1}, {195, 113, -1}, {186, 105, -1},
    };
    for (const auto& c : kCases) EXPECT_EQ(picture->HitLink(c.x, c.y), c.link) << c.x << "," << c.y;
    // A link whose cells are not drawn keeps the square it had.
    heart->links[0].cellB = 7;
    Paint(kStyleSkeleton);
    EXPECT_EQ(picture->HitLink(195, 105), 0);
}

TEST(CellLabel, EachDisplayStyleShowsItsValue) {
    auto heart = testing::MakePictureHeart();
    CCell& c = heart->cells[0];
    c.activationTime = 42;
    c.escapeCounter = 7;
    c.conductCounter = 3;
    c.arpCounter = 9;
    const struct { int32_t style, tone; const char* label; } kCases[] = {
        {kStyleName, 0, "Sinus"}, {kStyleSkeleton, 0, ""}, {kStyleFullVolume, 0, ""},
        {kStyleDepolarization, 0, "42"}, {kStyleArp, 0, "250"}, {kStyleAntCond, 0, "20"},
        {kStyleAntCond, 1000, "10"}, {kStyleRetCond, 0, "30"}, {kStyleEscapeRate, 0, "75"},
        {kStyleEscapeCounter, 0, "35"}, {kStyleConductCounter, 0, "15"}, {kStyleArpCounter, 0, "45"},
    };
    for (const auto& k : kCases) EXPECT_EQ(CellLabel(c, k.style, k.tone), k.label) << k.style;
    c.SetEscape(800, 0);  // under one tick at full sympathetic tone
    EXPECT_EQ(CellLabel(c, kStyleEscapeRate, 1000), "-");
    c.SetName("ABCDEFGHIJ");
    EXPECT_EQ(CellLabel(c, kStyleName, 0), "ABCDEFGHIJ");
}

TEST(PictureStyleList, EntriesInOrderWithTheirKeys) {
    const QStringList names = PictureStyleNames();
    ASSERT_EQ(names.size(), kPictureStyleCount);
    EXPECT_EQ(names[0], "Name");
    EXPECT_EQ(names[2], "Full volume");
    EXPECT_EQ(names[6], "Retrogr..conduction time");
    EXPECT_EQ(names[10], "Depolariz.down counter");
    EXPECT_STREQ(PictureStyleAt(7).key, "ID_ESF");
    EXPECT_STREQ(PictureStyleAt(99).key, "ID_CellName");
}

TEST(IsochroneColour, PaletteFromRedToBlue) {
    const struct { int32_t t; QRgb colour; } kCases[] = {
        {0, Rgb(255, 0, 0)},     {25, Rgb(255, 127, 0)},  {50, Rgb(255, 255, 0)}, {75, Rgb(127, 255, 0)},
        {100, Rgb(0, 255, 0)},   {125, Rgb(0, 127, 127)}, {150, Rgb(0, 0, 255)},  {175, Rgb(0, 0, 191)},
        {199, Rgb(0, 0, 130)},   {200, Rgb(0, 0, 128)},   {5000, Rgb(0, 0, 128)},
    };
    for (const auto& c : kCases) EXPECT_EQ(IsochroneColour(c.t).rgb() & 0xFFFFFF, c.colour) << c.t;
}

TEST_F(PictureTest, QueuedCellsAreDrawnOnceInTheirCurrentState) {
    Paint(kStyleSkeleton);
    EXPECT_TRUE(picture->QueueCellRepaint(0));
    EXPECT_FALSE(picture->QueueCellRepaint(0)) << "already queued";
    EXPECT_FALSE(picture->QueueCellRepaint(1)) << "joins the waiting flush";
    EXPECT_FALSE(picture->QueueCellRepaint(kMaxCells));
    heart->cells[0].arpCounter = 5;
    heart->cells[1].rrpCounter = 5;
    QPainter p(&screen);
    const QRect touched = picture->FlushCellRepaints(p);
    p.end();
    EXPECT_EQ(At(102, 102), Rgb(255, 64, 64));
    EXPECT_EQ(At(262, 102), Rgb(255, 0, 255));
    EXPECT_TRUE(touched.contains(QRect(100, 100, 26, 13)));
    EXPECT_TRUE(touched.contains(QRect(260, 100, 26, 13)));
    EXPECT_TRUE(picture->QueueCellRepaint(0)) << "the queue is empty again";
}

}  // namespace
}  // namespace vantrel
