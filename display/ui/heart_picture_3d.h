// The 3D heart picture of the heart-model screen: every cell at the projection of its 3D position,
// turned by the azimuth and elevation scroll bars and shaded darker with depth.  Point styles draw
// a small box per cell back to front; the volume styles ("Full volume", "Depolarization") draw
// the cells' face polygons, whose hidden parts are removed so that single cells can be repainted
// as they change state.  It also plays the arrest: the heart turns while its cells sink and stop.
//
// Drawing reads the record under the model lock only to project and to take the colours; the
// painting itself, and the hidden-part removal, run on the interface thread without the lock.
// The clock only advances the region countdown (an atomic) and asks the interface to compute.
#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "display/ui/heart_orientation.h"
#include "display/ui/heart_polygons.h"
#include "display/ui/heart_projection.h"
#include "display/ui/queued_wake.h"
#include "engine/ecg_synthesis.h"
#include "display/ui/cell_repaint_queue.h"
#include "engine/heart_record.h"

class QObject;
class QPainter;

namespace vantrel {

// The arrest's line on the picture and in the status bar.
QString ArrestMessage();

class HeartPicture3D {
public:
    HeartPicture3D(CCoeur& heart, int32_t layoutWidth, int32_t layoutHeight, int32_t displayScale);
    ~HeartPicture3D();
    HeartPicture3D(const HeartPicture3D&) = delete;
    HeartPicture3D& operator=(const HeartPicture3D&) = delete;

    // A new layout: the picture's own arithmetic (projection origin, orientation mark, bottom)
    // follows the layout size, and the picture's area, the left half above its controls, is
    // scaled into `pictureRect` (view coordinates; empty: no scaling) with one factor for both
    // axes.  The off-screen bitmap is made at `devicePixelRatio`.
    void SetLayout(int32_t layoutWidth, int32_t layoutHeight, int32_t displayScale, const QRect& pictureRect,
                   qreal devicePixelRatio);
    // Whether the last SetLayout (or the construction) was for these values.
    bool LaidOutFor(int32_t layoutWidth, int32_t layoutHeight, const QRect& pictureRect, qreal devicePixelRatio) const {
        return width_ == std::max(layoutWidth, 64) && height_ == std::max(layoutHeight, 64) &&
               pictureRect_ == pictureRect && ratio_ == std::max<qreal>(devicePixelRatio, 1.0);
    }
    // The picture's coordinates to the view's, as last laid out.
    const QTransform& PictureToView() const { return toView_; }

    void SetAngles(int32_t azimuth, int32_t elevation);
    int32_t Azimuth() const { return azimuth_; }
    int32_t Elevation() const { return elevation_; }
    // The chamber check boxes ("RA", "LA", "RV", "LV"), read at every full drawing.
    void SetChambers(const std::array<bool, kChamberCount>& shown) { chambers_ = shown; }
    void SetLinkClickFullVolume(bool on) { linkClickFullVolume_ = on; }

    // What the view's paint does before drawing: the next DrawHeart covers the whole height and
    // draws every point-style cell.
    void PrepareForPaint();
    // The full drawing, composed off-screen and copied to `client`: projection, polygons,
    // links, cells or faces, electrode circles, orientation mark; the arrest step while the heart
    // arrests.  The region countdown starts again at 3.
    void DrawHeart(QPainter& client, int32_t style);
    // RedrawHeart's part: pacemaker leads applied, then the full drawing.
    void RedrawHeart(QPainter& client, int32_t style);

    // For each cell the nearest brighter cell drawn almost on top of it (point styles).
    void FindOccluders();

    // The clock's redraw beat (clock thread, no lock): advances the countdown; true when the
    // visible regions are due now, so the caller asks the interface thread to compute them.
    bool OnRedrawBeat();
    // The hidden-part removal of the volume styles, at once on this thread; the countdown
    // returns to 0.  `whenDue`: only if the countdown says the regions are due.
    void ComputeVisibleRegions(bool whenDue = false);
    // The same on a worker thread while the simulation runs: the regions of the last drawing are
    // put in place (and the countdown returns to 0) by a call queued to `context`'s thread, unless
    // a newer drawing came meanwhile.  Starts only when the regions are due (countdown 1), or at
    // once with `now` (a paint).
    void StartRegionWork(QObject* context, bool now = false);
    // Waits for a running region computation (tests).
    void WaitForRegionWork();
    int32_t RefreshCountdown() const { return refreshCountdown_.load(); }
    // Single cells are repainted once the regions are ready, or at once while paused.
    bool CellRepaintAllowed(int32_t runMode) const { return refreshCountdown_.load() == 0 || runMode == 0; }

    // Cell-changed messages, queued and drawn together like the flat picture's.
    bool QueueCellRepaint(int32_t cell);
    QRect FlushCellRepaints(QPainter& client);
    void DropCellRepaints();
    // One link straight on `client` (after a click changed its type).
    QRect DrawLink3D(QPainter& client, int32_t link);
    // Step-by-step: the next segment of the heart vector's loop.
    QRect DrawVectorStep(QPainter& client, const EcgSample& sample);
    void ResetVectorLoop() { vectorLoop_.Reset(); }

    // The first shown cell whose click box holds the point (view coordinates), or -1.
    int32_t HitCell(int32_t x, int32_t y) const;
    // The first link whose click square, as last drawn here, holds the point, or -1.
    int32_t HitLink(int32_t x, int32_t y) const;

    bool Busy() const { return drawingBusy_; }
    const QImage& Offscreen() const { return offscreen_; }
    const PolygonTable& Polygons() const { return polygons_; }
    const RotationCoefficients& Rotation() const { return rotation_; }
    ScreenPoint Origin() const { return origin_; }
    bool CellShown(int32_t cell) const { return cell >= 0 && cell < kMaxCells && visible_[cell]; }
    int32_t PolygonHead(int32_t cell) const { return polygonHead_[cell]; }
    int32_t OccluderOf(int32_t cell) const { return occluderIndex_[cell]; }
    // Cells of the last drawing that got one square instead of their faces (table full).
    int32_t SimplifiedCells() const { return simplifiedCells_; }
    // How far the arrest has sunk a cell, model units (the model's positions stay as loaded).
    int32_t SinkOf(int32_t cell) const { return sink_[cell]; }
    int32_t PictureBottom() const { return pictureBottom_; }

private:
    struct PointLook {
        int32_t x = 0, y = 0, shade = 0;
        QRgb fill = 0;
        char label[24] = {};
    };
    struct LinkLook3D {
        int32_t ax = 0, ay = 0, bx = 0, by = 0;
        QRgb colour = 0;
        bool midpoint = true;
        bool drawn = false;
    };
    struct CircleLook {
        int32_t electrode = 0, x = 0, y = 0;
        int32_t cell = -1;
        int32_t radius = 7;
        QRgb colour = 0;
        bool placed = false;
    };

    static bool IsVolumeStyle(int32_t style) { return style == 2 || style == 3; }
    // Caller holds the lock for all of these.
    void ArrestStep();
    void ProjectCells(int32_t style);
    PointLook TakePointLook(int32_t cell, int32_t style, int32_t tone) const;
    LinkLook3D TakeLinkLook(int32_t link);
    CircleLook TakeCircleLook(int32_t electrode, int32_t style) const;
    void TakePolygonFills(int32_t cell, int32_t style);

    void PaintPoint(QPainter& painter, const PointLook& look, int32_t style) const;
    QRect PaintPointCell(QPainter& painter, int32_t cell, int32_t style, bool full) const;
    static void PaintLink(QPainter& painter, const LinkLook3D& look);
    static void PaintCircle(QPainter& painter, const CircleLook& look);
    void PaintArrestLine(QPainter& painter) const;
    QRect PointBounds(int32_t cell) const;
    QPoint ToPicture(int32_t x, int32_t y) const;
    // Copies a rectangle of the picture's coordinates from the off-screen bitmap to `client`.
    void CopyToClient(QPainter& client, const QRect& pictureArea) const;

    CCoeur& heart_;
    int32_t width_, height_, displayScale_;
    QImage offscreen_;
    QRect pictureRect_;     // where the picture is scaled to, view coordinates; empty = as drawn
    QTransform toView_;     // picture to view coordinates
    QTransform toPicture_;  // its inverse
    qreal ratio_ = 1.0;     // device pixels per view pixel of the off-screen bitmap
    int32_t pictureLeft_ = 1;
    int32_t pictureBottom_;
    int32_t fullCopyCounter_ = 1;
    bool drawingBusy_ = false;
    bool linkClickFullVolume_ = false;

    int32_t azimuth_ = kInitialAzimuth;
    int32_t elevation_ = kInitialElevation;
    std::array<bool, kChamberCount> chambers_{true, true, true, true};
    RotationCoefficients rotation_;
    ScreenPoint origin_;
    int32_t drawnStyle_ = 2;  // style of the last full drawing: single repaints follow it
    int32_t arrestState_ = 0;
    std::atomic<int32_t> refreshCountdown_{0};

    // Per cell, from the last full drawing.
    int32_t cellCount_ = 0;
    bool visible_[kMaxCells] = {};
    int32_t polygonHead_[kMaxCells] = {};
    int32_t occluderX_[kMaxCells] = {}, occluderY_[kMaxCells] = {}, occluderIndex_[kMaxCells] = {};
    int32_t sink_[kMaxCells] = {};
    bool sunk_ = false;
    int32_t cellOrder_[kMaxCells] = {};  // point styles: farthest first
    PointLook pointLooks_[kMaxCells];
    PolygonTable polygons_;
    std::vector<QRgb> polygonFill_;
    int32_t simplifiedCells_ = 0;

    LinkLook3D linkLooks_[kMaxLinks];
    int32_t linkLookCount_ = 0;
    CircleLook circles_[7];

    CellRepaintQueue pendingCells_;  // cells whose messages came since the last flush

    VectorLoop vectorLoop_;
    int32_t generation_ = 0;  // full drawings so far: a region result of an older one is dropped
    // The region worker: one computation at a time; its result waits under the lock until the
    // interface thread takes it (the hand-over the thread checker can follow).
    void TakeRegionResult();
    std::thread regionThread_;
    std::mutex resultLock_;
    std::unique_ptr<RegionResult> regionResult_;
    QPointer<QueuedWake> regionWake_;  // rung by the worker; a child of the context it was made for  // guarded by resultLock_
};

}  // namespace vantrel
