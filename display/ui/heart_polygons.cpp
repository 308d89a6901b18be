#include "display/ui/heart_polygons.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {
constexpr QRgb kNoPolygon = 0xFFFFFFFFu;
QRgb IndexColour(int32_t index) { return 0xFF000000u | static_cast<QRgb>(index); }
// One device pixel whatever the scale: the outline the picture draws and the one the hidden-part
// removal rasterises must be the same.
QPen OutlinePen(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}
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

RegionResult ComputeRegions(const RegionJob& job) {
    RegionResult result;
    result.generation = job.generation;
    result.regions.resize(job.corners.size());
    if (job.deviceSize.isEmpty() || job.ratio <= 0) return result;
    QImage indexImage(job.deviceSize, QImage::Format_RGB32);
    indexImage.setDevicePixelRatio(job.ratio);
    indexImage.fill(kNoPolygon);
    {
        // The same rasterisation as the picture's own drawing: what a polygon shows on screen is
        // exactly what is left of it here.
        QPainter painter(&indexImage);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setTransform(job.toView);
        for (int32_t index : job.order) {
            if (!job.visible[static_cast<size_t>(index)]) continue;
            const QColor id = QColor::fromRgb(IndexColour(index));
            painter.setPen(OutlinePen(id));
            painter.setBrush(id);
            painter.drawPolygon(job.corners[static_cast<size_t>(index)].data(), 4);
        }
    }
    const QRect image = indexImage.rect();
    const QTransform toDevice = job.toView * QTransform::fromScale(job.ratio, job.ratio);
    std::vector<QRect> runs;
    for (int32_t index : job.order) {
        if (!job.visible[static_cast<size_t>(index)]) continue;
        // One row of runs per scan line: rectangles sorted by y then x, never touching, each band
        // one pixel high, as a region's rectangle list must be.
        runs.clear();
        const QRect box = toDevice.mapRect(job.bounds[static_cast<size_t>(index)]).adjusted(-3, -3, 3, 3) & image;
        const QRgb id = IndexColour(index);
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(indexImage.constScanLine(y));
            int x = box.left();
            while (x <= box.right()) {
                if (line[x] != id) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x <= box.right() && line[x] == id) ++x;
                runs.emplace_back(start, y, x - start, 1);
            }
        }
        if (!runs.empty()) result.regions[static_cast<size_t>(index)].setRects(runs.data(), static_cast<int>(runs.size()));
    }
    return result;
}

RegionJob PolygonTable::MakeRegionJob(QSize deviceSize, qreal ratio, const QTransform& toView) const {
    RegionJob job;
    job.deviceSize = deviceSize;
    job.ratio = ratio;
    job.toView = toView;
    job.order = order_;
    const size_t n = static_cast<size_t>(count_);
    job.corners.resize(n);
    job.bounds.resize(n);
    job.visible.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const FacePolygon& p = polygons_[i];
        std::copy(std::begin(p.corners), std::end(p.corners), job.corners[i].begin());
        job.bounds[i] = p.bounds;
        job.visible[i] = p.visible ? 1 : 0;
    }
    return job;
}

void PolygonTable::ApplyRegions(const RegionResult& result) {
    const size_t n = std::min(static_cast<size_t>(count_), result.regions.size());
    for (size_t i = 0; i < n; ++i) {
        FacePolygon& p = polygons_[i];
        p.visibleRegion = result.regions[i];
        // A polygon left with no pixel is never repainted.
        p.enabled = !p.visibleRegion.isEmpty();
    }
}

void PolygonTable::ComputeVisibleRegions(QSize deviceSize, qreal ratio, const QTransform& toView) {
    ApplyRegions(ComputeRegions(MakeRegionJob(deviceSize, ratio, toView)));
}

void PolygonTable::Draw(QPainter& painter, int32_t index, QRgb fill, bool clipped) const {
    const FacePolygon& p = polygons_[static_cast<size_t>(index)];
    if (clipped) {
        // The region is in device pixels: set it under the device scale's inverse, so that it
        // stays where it was computed whatever the painter's own transform.
        const QTransform keep = painter.transform();
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        painter.setTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        painter.setClipRegion(p.visibleRegion);
        painter.setTransform(keep);
    }
    painter.setPen(OutlinePen(Qt::black));
    painter.setBrush(QColor::fromRgb(fill));
    painter.drawPolygon(p.corners, 4);
    if (clipped) painter.setClipping(false);
}

}  // namespace vantrel
