#include "display/ui/heart_polygons.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {
constexpr QRgb kNoPolygon = 0xFFFFFFFFu;
QRgb IndexColour(int32_t index) { return 0xFF000000u | static_cast<QRgb>(index); }
int32_t Byte(int32_t v) { return v & 0xFF; }
}  // namespace

int32_t PolygonBrightness(int32_t key) {
    const int32_t b = key * 3 / 4;
    if (b < -64) return 0;
    if (b < 192) return b + 64;
    return 255;
}

int32_t PolygonStateOf(const CCell& cell, int32_t style) {
    if (cell.escapeB >= kInertEscape) return kPolygonInert;
    if (style == 3) return cell.conductCounter != 0 ? kPolygonBoth : kPolygonIsochrone;
    const bool conducting = cell.conductCounter > 0;
    const bool refractory = cell.arpCounter > 0;
    if (conducting && refractory) return kPolygonBoth;
    if (conducting || refractory) return kPolygonOneCounter;
    return kPolygonResting;
}

QRgb PolygonFill(int32_t stateIndex, int32_t key, const CCell& cell) {
    const int32_t b = PolygonBrightness(key);
    switch (stateIndex) {
        case kPolygonInert: return qRgb(Byte(key / 2), 0, 0);
        case kPolygonResting: {
            // Injury shows as red in the resting surface while the coronary flow is reduced.
            const int32_t i = cell.flux <= 99 ? std::clamp(cell.stOffset, 0, 255) : 0;
            return qRgb(i, std::max(0, b / 2 - i), std::max(0, b - 2 * i));
        }
        case kPolygonOneCounter: return qRgb(b, 0, 0);
        case kPolygonBoth: return qRgb(b, b, 0);
        case kPolygonIsochrone:
            return qRgb(Byte(cell.isoRed) * b / 255, Byte(cell.isoGreen) * b / 255, Byte(cell.isoBlue) * b / 255);
        default: return qRgb(0, 0, 0);
    }
}

PolygonTable::PolygonTable() : polygons_(kMaxPolygons) { order_.reserve(kMaxPolygons); }

void PolygonTable::Clear() {
    for (int32_t i = 0; i < count_; ++i) polygons_[static_cast<size_t>(i)].visibleRegion = QRegion();
    count_ = 0;
    order_.clear();
}

int32_t PolygonTable::Budget(int32_t faces, int32_t cellsStillToCome) const {
    const int32_t room = kMaxPolygons - count_ - std::max(cellsStillToCome, 0);
    const int32_t wanted = std::max(faces, 1);
    if (wanted <= room) return wanted;
    return room >= 1 ? 1 : 0;
}

int32_t PolygonTable::Add(int32_t cell, const QPoint corners[4], QPoint reference, int32_t key, bool visible) {
    if (count_ >= kMaxPolygons) return -1;
    const int32_t index = count_++;
    FacePolygon& p = polygons_[static_cast<size_t>(index)];
    int32_t left = corners[0].x(), right = left, top = corners[0].y(), bottom = top;
    for (int k = 0; k < 4; ++k) {
        p.corners[k] = corners[k];
        left = std::min(left, corners[k].x());
        right = std::max(right, corners[k].x());
        top = std::min(top, corners[k].y());
        bottom = std::max(bottom, corners[k].y());
    }
    p.bounds = QRect(QPoint(left, top), QPoint(right, bottom));
    p.stateIndex = kPolygonResting;
    p.enabled = true;
    p.visible = visible;
    p.cell = cell;
    p.next = -1;
    p.reference = reference;
    p.key = key;
    // Until the hidden parts are removed a polygon may paint wherever it reaches.
    p.visibleRegion = QRegion(p.bounds);
    return index;
}

void PolygonTable::Sort() {
    order_.resize(static_cast<size_t>(count_));
    for (int32_t i = 0; i < count_; ++i) order_[static_cast<size_t>(i)] = i;
    std::stable_sort(order_.begin(), order_.end(), [this](int32_t a, int32_t b) {
        return polygons_[static_cast<size_t>(a)].key < polygons_[static_cast<size_t>(b)].key;
    });
}

void PolygonTable::ChainCells(int32_t* polygonHead, int32_t cellCount) {
    for (int32_t c = 0; c < cellCount; ++c) polygonHead[c] = -1;
    for (int32_t i = 0; i < count_; ++i) {
        FacePolygon& p = polygons_[static_cast<size_t>(i)];
        if (p.cell < 0 || p.cell >= cellCount) continue;
        p.next = polygonHead[p.cell];
        polygonHead[p.cell] = i;
    }
}

void PolygonTable::ComputeVisibleRegions(QSize area) {
    if (area.isEmpty()) return;
    if (indexImage_.size() != area) indexImage_ = QImage(area, QImage::Format_RGB32);
    indexImage_.fill(kNoPolygon);
    {
        // The same rasterisation as the picture's own drawing: what a polygon shows on screen is
        // exactly what is left of it here.
        QPainter painter(&indexImage_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (int32_t index : order_) {
            const FacePolygon& p = polygons_[static_cast<size_t>(index)];
            if (!p.visible) continue;
            const QColor id = QColor::fromRgb(IndexColour(index));
            painter.setPen(QPen(id, 1));
            painter.setBrush(id);
            painter.drawPolygon(p.corners, 4);
        }
    }
    const QRect image = indexImage_.rect();
    for (int32_t index : order_) {
        FacePolygon& p = polygons_[static_cast<size_t>(index)];
        p.visibleRegion = QRegion();
        if (!p.visible) continue;
        // One row of runs per scan line: rectangles sorted by y then x, never touching, each band
        // one pixel high, as a region's rectangle list must be.
        runs_.clear();
        const QRect box = p.bounds.adjusted(-1, -1, 1, 1) & image;
        const QRgb id = IndexColour(index);
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(indexImage_.constScanLine(y));
            int x = box.left();
            while (x <= box.right()) {
                if (line[x] != id) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x <= box.right() && line[x] == id) ++x;
                runs_.emplace_back(start, y, x - start, 1);
            }
        }
        if (runs_.empty()) {
            p.enabled = false;
        } else {
            p.enabled = true;
            p.visibleRegion.setRects(runs_.data(), static_cast<int>(runs_.size()));
        }
    }
}

void PolygonTable::Draw(QPainter& painter, int32_t index, QRgb fill, bool clipped) const {
    const FacePolygon& p = polygons_[static_cast<size_t>(index)];
    if (clipped) painter.setClipRegion(p.visibleRegion);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor::fromRgb(fill));
    painter.drawPolygon(p.corners, 4);
    if (clipped) painter.setClipping(false);
}

}  // namespace vantrel
