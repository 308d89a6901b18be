// The surface of the 3D picture's volume styles: one small quadrilateral per face of every cell's
// mesh (or one square for a cell without faces), sorted back to front, and the part of each that
// stays visible once the nearer ones are drawn over it.  Single cells are repainted through those
// visible parts, so that a cell changing state costs one clipped fill per face.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QRgb>
#include <QTransform>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/heart_record.h"

class QPainter;

namespace vantrel {

// Capacity of the table.  A model whose faces need more gets squares for its later cells (see
// PolygonTable::Budget), so the table is never overrun and every cell keeps at least one entry.
inline constexpr int kMaxPolygons = 4000;

// State index of a polygon, chosen at drawing time.
enum PolygonState : int32_t {
    kPolygonInert = -1,      // ablated cell: dark red by depth
    kPolygonResting = 0,     // "Full volume", no counter running: blue (red with injury)
    kPolygonOneCounter = 1,  // "Full volume", conducting or refractory: red
    kPolygonBoth = 2,        // conducting while refractory ("Depolarization": conducting): yellow
    kPolygonIsochrone = 3,   // "Depolarization", conduction over: activation-time colour
};

struct FacePolygon {
    QPoint corners[4];
    int32_t stateIndex = kPolygonResting;
    bool enabled = true;    // still partly visible after the hidden-part removal
    bool visible = true;    // its cell's chamber is shown
    int32_t cell = -1;      // owner cell
    int32_t next = -1;      // next polygon of the same cell, -1 = none
    QPoint reference;       // mean of the cell's point and the face centre
    int32_t key = 0;        // depth shade of the polygon: the sort key, and its brightness
    QRect bounds;           // every pixel its drawing (fill and outline) can touch
    QRegion visibleRegion;  // the pixels left to it by the polygons drawn after it
};

// Brightness of a polygon from its key.
int32_t PolygonBrightness(int32_t key);
// State index of a cell's polygons in display style 2 or 3.
int32_t PolygonStateOf(const CCell& cell, int32_t style);
// Fill colour of a polygon in a state, with its key, for that cell.
QRgb PolygonFill(int32_t stateIndex, int32_t key, const CCell& cell);

// What the hidden-part removal needs of the table, copied so that it can run on a worker thread
// while the interface goes on (and may even rebuild the table: `generation` tells).
struct RegionJob {
    std::vector<std::array<QPoint, 4>> corners;  // by polygon index
    std::vector<QRect> bounds;
    std::vector<char> visible;
    std::vector<int32_t> order;  // farthest first
    QSize deviceSize;
    qreal ratio = 1.0;
    QTransform toView;
    int32_t generation = 0;
};
struct RegionResult {
    std::vector<QRegion> regions;  // by polygon index, device pixels; empty = hidden
    int32_t generation = 0;
};
// Draws every visible polygon in order into an index image through the job's transform and
// keeps, for each, the device pixels where it stayed on top.  Any thread.
RegionResult ComputeRegions(const RegionJob& job);

class PolygonTable {
public:
    PolygonTable();

    void Clear();
    int32_t Count() const { return count_; }
    FacePolygon& operator[](int32_t i) { return polygons_[static_cast<size_t>(i)]; }
    const FacePolygon& operator[](int32_t i) const { return polygons_[static_cast<size_t>(i)]; }

    // How many polygons a cell may add when `cellsStillToCome` cells after it each need at least
    // one entry: its faces when they fit, else 1 (its square), else 0 (never with 1000 cells).
    int32_t Budget(int32_t faces, int32_t cellsStillToCome) const;
    // Appends a quadrilateral; returns its index, or -1 when the table is full.
    int32_t Add(int32_t cell, const QPoint corners[4], QPoint reference, int32_t key, bool visible);

    // Sorts by key, farthest (smallest) first; equal keys keep their table order.
    void Sort();
    const std::vector<int32_t>& Order() const { return order_; }
    // Walks the table in index order, pushing each polygon at the head of its cell's chain.
    void ChainCells(int32_t* polygonHead, int32_t cellCount);

    // The hidden-part removal: draws every visible polygon in sorted order into an index image of
    // `deviceSize` pixels, through `toView` at `ratio` device pixels per view pixel (exactly as
    // the picture is drawn), and gives each polygon the device pixels where it stayed on top; a
    // polygon left with none is disabled.  Runs on the interface thread.
    void ComputeVisibleRegions(QSize deviceSize, qreal ratio, const QTransform& toView);
    // The same in two halves, for a worker: the copy to work on, and its result put back.
    RegionJob MakeRegionJob(QSize deviceSize, qreal ratio, const QTransform& toView) const;
    void ApplyRegions(const RegionResult& result);

    // One polygon in its colour with a black outline, through the painter's transform; clipped:
    // only its visible region (device pixels of a painter at the same ratio and transform).
    void Draw(QPainter& painter, int32_t index, QRgb fill, bool clipped) const;

private:
    std::vector<FacePolygon> polygons_;
    int32_t count_ = 0;
    std::vector<int32_t> order_;
};

}  // namespace vantrel
