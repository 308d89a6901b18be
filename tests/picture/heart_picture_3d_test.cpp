// The 3D heart picture: projection and shading arithmetic, the chamber test, the arrest, the
// polygon table at its capacity, and the pixels of a point style and a volume style, with the
// single-cell repaint through the visible regions.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cstring>

#include "display/ui/heart_picture_2d.h"
#include "display/ui/heart_picture_3d.h"
#include "display/ui/heart_projection.h"

namespace vantrel {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 700;
constexpr int kScale = 1000;  // the arithmetic of a 630-pixel layout: coefficients are plain thousandths

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

struct CellPlace {
    const char* name;
    int x, y, z;
};

std::unique_ptr<CCoeur> MakeHeart(std::initializer_list<CellPlace> cells) {
    auto heart = std::make_unique<CCoeur>();
    heart->Clear();
    for (const CellPlace& place : cells) {
        CCell& c = heart->cells[heart->cellCount++];
        c.SetName(place.name);
        c.pos3dX = place.x;
        c.pos3dY = place.y;
        c.pos3dZ = place.z;
        c.SetEscape(800, 400);
        c.StoreAsModel();
    }
    for (int& c : heart->icCell) c = -1;
    heart->MarkElectrodes();
    return heart;
}

class Picture3DTest : public ::testing::Test {
protected:
    void Build(std::initializer_list<CellPlace> cells) {
        heart = MakeHeart(cells);
        picture = std::make_unique<HeartPicture3D>(*heart, kWidth, kHeight, kScale);
        screen = QImage(kWidth, kHeight, QImage::Format_RGB32);
        screen.fill(Qt::white);
    }
    void Paint(int style) {
        QPainter p(&screen);
        picture->PrepareForPaint();
        picture->DrawHeart(p, style);
    }
    QRgb At(int x, int y) const { return screen.pixel(x, y) & 0xFFFFFF; }
    ScreenPoint Origin() const { return ProjectionOrigin(kWidth, kHeight); }

    std::unique_ptr<CCoeur> heart;
    std::unique_ptr<HeartPicture3D> picture;
    QImage screen;
};

TEST(HeartProjection, ShadeOfDepth) {
    const struct {
        int depth, shade;
    } cases[] = {{201, 0}, {1000, 0}, {200, 0}, {0, 200}, {100, 100}, {-55, 255}, {-56, 255}, {-500, 255}};
    for (const auto& c : cases) EXPECT_EQ(ShadeOfDepth(c.depth), c.shade) << "depth " << c.depth;
}

TEST(HeartProjection, OriginFollowsTheScreenShape) {
    // 1024 x 700: 14 tenths, a square screen; 1366 x 700: a wide one.
    EXPECT_EQ(ProjectionOrigin(1024, 700).x, 256);
    EXPECT_EQ(ProjectionOrigin(1024, 700).y, 700 / 3 - 221);
    EXPECT_EQ(ProjectionOrigin(1366, 700).y, 700 / 100 - 50);
}

TEST(HeartProjection, CoefficientsAtTheInitialAngles) {
    const RotationCoefficients m = ComputeRotation(kInitialAzimuth, kInitialElevation, 1000);
    EXPECT_EQ(m.m1, 984);   // cos -10 degrees
    EXPECT_EQ(m.m2, 173);   // -sin -10
    EXPECT_EQ(m.m3, 984);
    EXPECT_EQ(m.m4, 30);    // sin -10 * sin -10
    EXPECT_EQ(m.m5, -171);  // cos -10 * sin -10
    EXPECT_EQ(m.m6, 969);
    EXPECT_EQ(m.m7, -171);
}

TEST(HeartProjection, Chambers) {
    const struct {
        const char* name;
        Chamber chamber;
    } cases[] = {{"Sinus", kRightAtrium}, {"DSA", kRightAtrium}, {"RA12", kRightAtrium}, {"LA1", kLeftAtrium},
                 {"RV3", kRightVentricle}, {"LV33", kLeftVentricle}, {"His", kNoChamber}, {"sinus", kNoChamber},
                 {"R", kNoChamber},        {"", kNoChamber},       {"DSA1", kNoChamber}};
    for (const auto& c : cases) EXPECT_EQ(ChamberOfCell(c.name), c.chamber) << c.name;
}

TEST_F(Picture3DTest, CellAtTheModelOriginIsDrawnAtTheProjectionOriginWithShade200) {
    Build({{"X", 0, 0, 0}});
    Paint(kStyleSkeleton);
    const ScreenPoint o = Origin();
    EXPECT_EQ(heart->cellPictures[0].screenX, o.x);
    EXPECT_EQ(heart->cellPictures[0].screenY, o.y + 0);
    EXPECT_EQ(heart->cellPictures[0].shade, 200);
    // Origin y of this layout is 12: the skeleton square (0, b / 2, b) with b = 200 is on screen.
    EXPECT_EQ(At(o.x, o.y), Rgb(0, 100, 200));
    EXPECT_EQ(At(o.x - 4, o.y - 4), Rgb(0, 0, 0));  // black outline
    EXPECT_EQ(At(o.x + 6, o.y), Rgb(0, 0, 0));      // the black picture around it
}

TEST_F(Picture3DTest, ChamberBoxesHideCellsAndTheirLinksExceptFromTheHisSystem) {
    Build({{"Sinus", 0, 100, 0}, {"DSA", 20, 100, 0}, {"RA3", 40, 100, 0}, {"LA1", 60, 100, 0},
           {"RV1", 0, 200, 0},   {"LV1", 20, 200, 0}, {"NH", 40, 200, 0}});
    const int links[][2] = {{6, 2}, {2, 6}, {5, 2}, {3, 5}};
    for (const auto& ends : links) {
        CellLink& l = heart->links[heart->linkCount++];
        l.cellA = ends[0];
        l.cellB = ends[1];
        l.hitLeft = -999;  // untouched unless the link is drawn
    }
    picture->SetChambers({false, true, true, true});  // "RA" cleared
    Paint(kStyleSkeleton);
    const bool shown[] = {false, false, false, true, true, true, true};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(picture->CellShown(i), shown[i]) << heart->cells[i].name;
    EXPECT_NE(heart->links[0].hitLeft, -999) << "NH -> RA3: first cell shown, 'H' second";
    EXPECT_EQ(heart->links[1].hitLeft, -999) << "RA3 -> NH: first cell hidden";
    EXPECT_EQ(heart->links[2].hitLeft, -999) << "LV1 -> RA3: second cell hidden";
    EXPECT_NE(heart->links[3].hitLeft, -999) << "LA1 -> LV1: both shown";
    // A hidden cell is neither drawn nor hit.
    const CellPicture& sinus = heart->cellPictures[0];
    EXPECT_EQ(picture->HitCell(sinus.screenX, sinus.screenY), -1);
    const CellPicture& la = heart->cellPictures[3];
    EXPECT_EQ(picture->HitCell(la.screenX, la.screenY), 3);
}

TEST_F(Picture3DTest, ArrestSinksTheCellsWhileTheHeartTurnsThenStops) {
    Build({{"RV1", 0, 0, 0}, {"LV1", 30, 10, 0}});
    heart->arrestState = 1;
    // Cell 0 sinks 15 times (0 .. -30), cell 1 20 times (10 .. -30); the 21st drawing finds none.
    for (int drawing = 1; drawing <= 21; ++drawing) {
        Paint(kStyleSkeleton);
        EXPECT_EQ(picture->Azimuth(), kInitialAzimuth + drawing);
        EXPECT_EQ(heart->arrestState, drawing <= 20 ? 1 : 2) << "drawing " << drawing;
    }
    EXPECT_EQ(picture->SinkOf(0), 30);
    EXPECT_EQ(picture->SinkOf(1), 40);
    EXPECT_EQ(heart->cells[0].escapeCounter, 6000);
    // The model's positions stay as loaded: the dipoles of the ECG keep their directions.
    EXPECT_EQ(heart->cells[1].pos3dY, 10);
    // The heart goes on turning while arrested, but nothing sinks any more.
    Paint(kStyleSkeleton);
    EXPECT_EQ(picture->SinkOf(1), 40);
    EXPECT_EQ(picture->Azimuth(), kInitialAzimuth + 22);
    // Once the arrest is over the heart stands where it stood.
    heart->arrestState = 0;
    Paint(kStyleSkeleton);
    EXPECT_EQ(picture->SinkOf(1), 0);
}

TEST_F(Picture3DTest, FacesBeyondTheTableFallBackToOneSquarePerCell) {
    heart = std::make_unique<CCoeur>();
    heart->Clear();
    for (int i = 0; i < kMaxCells; ++i) {
        CCell& c = heart->cells[heart->cellCount++];
        c.SetName("LV");
        c.pos3dX = (i % 40) * 5;
        c.pos3dY = (i / 40) * 5;
        CellPicture& pic = heart->cellPictures[i];
        pic.faceCount = kMaxFaces;
        for (int f = 0; f < kMaxFaces; ++f) {
            pic.faceCentre[f] = {c.pos3dX + 2, c.pos3dY + 2, 0};
            pic.faceEdge[f][0] = {c.pos3dX + 2, c.pos3dY, 0};
            pic.faceEdge[f][1] = {c.pos3dX, c.pos3dY + 2, 0};
        }
    }
    picture = std::make_unique<HeartPicture3D>(*heart, kWidth, kHeight, kScale);
    screen = QImage(kWidth, kHeight, QImage::Format_RGB32);
    Paint(kStyleFullVolume);
    const PolygonTable& table = picture->Polygons();
    EXPECT_LE(table.Count(), kMaxPolygons);
    auto chainLength = [&](int cell) {
        int n = 0;
        for (int p = picture->PolygonHead(cell); p >= 0; p = table[p].next) ++n;
        return n;
    };
    EXPECT_EQ(chainLength(0), kMaxFaces);
    EXPECT_EQ(chainLength(kMaxCells - 1), 1);
    for (int cell = 0; cell < kMaxCells; ++cell) ASSERT_GE(chainLength(cell), 1) << "cell " << cell;
    // Each cell keeps one entry for every cell after it: 157 cells get their 20 faces (3140
    // entries), the 843 others one square each.
    EXPECT_EQ(picture->SimplifiedCells(), 843);
    EXPECT_EQ(table.Count(), 157 * kMaxFaces + 843);
    picture->ComputeVisibleRegions();
    EXPECT_EQ(picture->RefreshCountdown(), 0);
}

TEST_F(Picture3DTest, PointStyleBoxInItsStateColour) {
    Build({{"X", 0, 100, 100}});
    heart->cells[0].arpCounter = 5;
    Paint(kStyleName);
    const CellPicture& pic = heart->cellPictures[0];
    const int b = pic.shade;
    EXPECT_EQ(At(pic.screenX - 8, pic.screenY - 4), Rgb(b, 0, 0));  // depolarised: (b, 0, 0)
    EXPECT_EQ(At(pic.screenX - 10, pic.screenY - 6), Rgb(0, 0, 0)); // outline corner
    EXPECT_EQ(At(pic.screenX + 13, pic.screenY), Rgb(0, 0, 0));     // the black picture beside it
}

TEST_F(Picture3DTest, VolumeStyleSquaresAndSingleCellRepaintThroughTheVisibleRegion) {
    // Cell 1 lies nearer and 3 pixels down-left of cell 0: its square covers most of cell 0's.
    Build({{"X", 0, 0, 0}, {"Y", 0, 0, -20}});
    Paint(kStyleFullVolume);
    const CellPicture& far = heart->cellPictures[0];
    const CellPicture& near = heart->cellPictures[1];
    ASSERT_GT(near.shade, far.shade);
    ASSERT_EQ(near.screenX, far.screenX - 3);
    const int bFar = PolygonBrightness(far.shade), bNear = PolygonBrightness(near.shade);
    EXPECT_EQ(bFar, 214);
    EXPECT_EQ(At(far.screenX + 3, far.screenY - 3), Rgb(0, bFar / 2, bFar));    // corner left to the far one
    EXPECT_EQ(At(near.screenX, near.screenY), Rgb(0, bNear / 2, bNear));

    // Regions are due at the second clock beat after the drawing, and only then.
    EXPECT_EQ(picture->RefreshCountdown(), 3);
    EXPECT_FALSE(picture->CellRepaintAllowed(1));
    EXPECT_TRUE(picture->CellRepaintAllowed(0));
    EXPECT_FALSE(picture->OnRedrawBeat());
    EXPECT_TRUE(picture->OnRedrawBeat());
    EXPECT_FALSE(picture->OnRedrawBeat());
    picture->ComputeVisibleRegions(true);
    EXPECT_EQ(picture->RefreshCountdown(), 0);
    EXPECT_TRUE(picture->CellRepaintAllowed(1));

    // The far cell turns refractory: only its visible corner is repainted, red.
    heart->cells[0].arpCounter = 10;
    picture->QueueCellRepaint(0);
    QPainter p(&screen);
    const QRect touched = picture->FlushCellRepaints(p);
    p.end();
    EXPECT_TRUE(touched.contains(far.screenX + 3, far.screenY - 3));
    EXPECT_EQ(At(far.screenX + 3, far.screenY - 3), Rgb(bFar, 0, 0));
    EXPECT_EQ(At(near.screenX, near.screenY), Rgb(0, bNear / 2, bNear));
    EXPECT_EQ(At(far.screenX, far.screenY), Rgb(0, bNear / 2, bNear)) << "under the near square";
}

TEST_F(Picture3DTest, DepolarizationStyleUsesTheIsochroneColourAndTheScale) {
    Build({{"X", 0, 0, 0}});
    heart->cells[0].isoRed = 255;
    heart->cells[0].isoGreen = 0;
    heart->cells[0].isoBlue = 0;
    Paint(kStyleDepolarization);
    const CellPicture& pic = heart->cellPictures[0];
    const int b = PolygonBrightness(pic.shade);
    EXPECT_EQ(At(pic.screenX + 2, pic.screenY + 2), Rgb(255 * b / 255, 0, 0));
    // The activation-time scale: t = 0 is red, at (x0 + 30, y0 + 230) with x0 = width / 2 - 60.
    EXPECT_EQ(At(kWidth / 2 - 60 + 35, 70 + 230), Rgb(255, 0, 0));
}

TEST(VectorLoop, SegmentsFollowTheRotation) {
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    VectorLoop loop;
    const RotationCoefficients m = ComputeRotation(0, 0, 1000);  // m1 = 1000, m3 = 1000
    loop.Draw(p, m, 400, 100, 0, 0);
    EXPECT_EQ(loop.Previous(), QPoint(25, 0));
    p.end();
    EXPECT_EQ(image.pixel(400 / 2 - 60 + 10, 50) & 0xFFFFFF, Rgb(64, 64, 255));
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST_F(Picture3DTest, RegionsComputedOnAWorkerArePutInPlaceByTheInterfaceThread) {
    Build({{"X", 0, 0, 0}, {"Y", 0, 0, -20}});
    Paint(kStyleFullVolume);
    QObject context;
    picture->StartRegionWork(&context);  // not due yet: nothing starts
    picture->WaitForRegionWork();
    QCoreApplication::processEvents();
    EXPECT_EQ(picture->RefreshCountdown(), 3);
    EXPECT_FALSE(picture->OnRedrawBeat());
    EXPECT_TRUE(picture->OnRedrawBeat());
    picture->StartRegionWork(&context);
    picture->WaitForRegionWork();
    EXPECT_EQ(picture->RefreshCountdown(), 1) << "put in place on the interface thread only";
    QCoreApplication::processEvents();
    EXPECT_EQ(picture->RefreshCountdown(), 0);
    const PolygonTable& table = picture->Polygons();
    ASSERT_EQ(table.Count(), 2);
    EXPECT_TRUE(table[0].enabled && table[1].enabled);
    EXPECT_FALSE(table[0].visibleRegion.contains(QPoint(heart->cellPictures[0].screenX, heart->cellPictures[0].screenY)))
        << "the far square's centre lies under the near one";

    // A result that arrives after a newer drawing is dropped.
    picture->StartRegionWork(&context, true);
    picture->WaitForRegionWork();
    Paint(kStyleFullVolume);
    QCoreApplication::processEvents();
    EXPECT_EQ(picture->RefreshCountdown(), 3);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST_F(Picture3DTest, ScaledIntoTheLayoutRectangleDrawingAndClicksAgree) {
    Build({{"X", 0, 100, 0}});
    // The picture's own area is 512 x 496 here; a rectangle half as large scales it by 1/2.
    picture->SetLayout(kWidth, kHeight, kScale, QRect(100, 50, 256, 248), 1.0);
    Paint(kStyleFullVolume);
    const CellPicture& pic = heart->cellPictures[0];
    const QPoint onScreen = picture->PictureToView().map(QPoint(pic.screenX, pic.screenY));
    EXPECT_EQ(onScreen, QPoint(100 + pic.screenX / 2, 50 + pic.screenY / 2));
    const int b = PolygonBrightness(pic.shade);
    EXPECT_EQ(At(onScreen.x(), onScreen.y()), Rgb(0, b / 2, b));
    EXPECT_EQ(picture->HitCell(onScreen.x(), onScreen.y()), 0);
    EXPECT_EQ(picture->HitCell(pic.screenX + 40, pic.screenY + 40), -1);
    // Regions are computed in the same scaled pixels: a repaint lands on the drawn square.
    picture->ComputeVisibleRegions();
    heart->cells[0].arpCounter = 3;
    picture->QueueCellRepaint(0);
    QPainter p(&screen);
    const QRect touched = picture->FlushCellRepaints(p);
    p.end();
    EXPECT_TRUE(touched.contains(onScreen));
    EXPECT_EQ(At(onScreen.x(), onScreen.y()), Rgb(b, 0, 0));
}

}  // namespace
}  // namespace vantrel
