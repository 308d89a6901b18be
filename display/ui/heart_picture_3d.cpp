#include "display/ui/heart_picture_3d.h"

#include "display/ui/queued_wake.h"

#include <QPainter>
#include <memory>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "display/ui/heart_picture_2d.h"
#include "engine/program_wide.h"

namespace vantrel {

namespace {

int32_t Byte(int32_t v) { return v & 0xFF; }

// The arrest's sinking: cells sink by this many model units per drawing, down to this height.
constexpr int32_t kSinkStep = 2;
constexpr int32_t kSinkFloor = -29;
// Escape counter given to a sinking cell: it keeps the cell from firing for 30 s.
constexpr int32_t kSunkEscapeTicks = 6000;

const QFont& PointLabelFont() {
    static const QFont font = PictureFont(11, 4);
    return font;
}

const QFont& ArrestFont() {
    static const QFont font = PictureFont(16, 6);
    return font;
}

QRgb PointFill(const CCell& cell, int32_t b) {
    if (cell.escapeB >= kInertEscape) return qRgb(Byte(b / 2), 0, 0);
    if (cell.arpCounter >= 1 && cell.conductCounter != 0) return qRgb(Byte(b), Byte(b), Byte(b / 2));
    if (cell.arpCounter >= 1) return qRgb(Byte(b), 0, 0);
    if (cell.rrpCounter >= 1) return qRgb(Byte(b), 0, Byte(b));
    if (cell.stOffset != 0 && cell.flux < 100 && cell.stOffset != -100)
        return qRgb(Byte(b * cell.stOffset / 100), Byte(b / 2), Byte(b * 100 / (cell.stOffset + 100)));
    return qRgb(0, Byte(b / 2), Byte(b));
}

}  // namespace

QString ArrestMessage() {
    return TextFromBytes(Translate("ID_ARRESTED", "The heart has arrested.")) + QLatin1Char(' ') +
           TextFromBytes(Translate("ID_ARRESTRESTART",
                                   "\"Initial Values\" or a cardioversion (if it restores a rhythm) starts again."));
}

HeartPicture3D::HeartPicture3D(CCoeur& heart, int32_t layoutWidth, int32_t layoutHeight, int32_t displayScale)
    : heart_(heart),
      width_(std::max(layoutWidth, 64)),
      height_(std::max(layoutHeight, 64)),
      displayScale_(displayScale > 0 ? displayScale : 1000),
      offscreen_(width_, height_, QImage::Format_RGB32),
      pictureBottom_(height_ - 5),
      polygonFill_(kMaxPolygons, 0) {
    offscreen_.fill(Qt::black);
    for (int32_t& h : polygonHead_) h = -1;
    for (int32_t& o : occluderIndex_) o = -1;
    rotation_ = ComputeRotation(azimuth_, elevation_, displayScale_);
    origin_ = ProjectionOrigin(width_, height_);
}

void HeartPicture3D::SetLayout(int32_t layoutWidth, int32_t layoutHeight, int32_t displayScale,
                               const QRect& pictureRect, qreal devicePixelRatio) {
    width_ = std::max(layoutWidth, 64);
    height_ = std::max(layoutHeight, 64);
    displayScale_ = displayScale > 0 ? displayScale : 1000;
    ratio_ = std::max<qreal>(devicePixelRatio, 1.0);
    offscreen_ = QImage(static_cast<int>(width_ * ratio_), static_cast<int>(height_ * ratio_), QImage::Format_RGB32);
    offscreen_.setDevicePixelRatio(ratio_);
    offscreen_.fill(Qt::black);
    pictureBottom_ = height_ - 5;
    pictureRect_ = pictureRect;
    toView_ = QTransform();
    const QRect own(0, 0, width_ / 2, (height_ - 200) / 8 * 8);
    if (!pictureRect_.isEmpty() && !own.isEmpty()) {
        const qreal scale = std::min(static_cast<qreal>(pictureRect_.width()) / own.width(),
                                     static_cast<qreal>(pictureRect_.height()) / own.height());
        // Centred across, from the top down: the heart's own origin is near the top.
        toView_.translate(pictureRect_.left() + (pictureRect_.width() - own.width() * scale) / 2, pictureRect_.top());
        toView_.scale(scale, scale);
    }
    toPicture_ = toView_.inverted();
    refreshCountdown_.store(3);  // the regions of the old size are of no use
}

QPoint HeartPicture3D::ToPicture(int32_t x, int32_t y) const { return toPicture_.map(QPoint(x, y)); }

void HeartPicture3D::CopyToClient(QPainter& client, const QRect& pictureArea) const {
    const QRectF view = toView_.mapRect(QRectF(pictureArea));
    const QRectF device(view.left() * ratio_, view.top() * ratio_, view.width() * ratio_, view.height() * ratio_);
    client.drawImage(view, offscreen_, device);
}

void HeartPicture3D::SetAngles(int32_t azimuth, int32_t elevation) {
    azimuth_ = azimuth;
    elevation_ = elevation;
}

void HeartPicture3D::PrepareForPaint() {
    pictureLeft_ = 1;
    pictureBottom_ = height_ - 5;
    fullCopyCounter_ = 1;
}

void HeartPicture3D::ArrestStep() {
    bool sinking = false;
    for (int32_t i = 0; i < cellCount_; ++i) {
        CCell& cell = heart_.cells[i];
        if (cell.pos3dY - sink_[i] < kSinkFloor) continue;
        sink_[i] += kSinkStep;
        cell.escapeCounter = kSunkEscapeTicks;
        sinking = true;
    }
    sunk_ = true;
    if (!sinking) heart_.arrestState = 2;
    // The heart turns by one degree a drawing; the scroll bar stays where the user left it.
    azimuth_ = azimuth_ >= 180 ? -179 : azimuth_ + 1;
}

void HeartPicture3D::ProjectCells(int32_t style) {
    const bool volume = IsVolumeStyle(style);
    polygons_.Clear();
    simplifiedCells_ = 0;
    for (int32_t i = 0; i < cellCount_; ++i) {
        const CCell& cell = heart_.cells[i];
        CellPicture& pic = heart_.cellPictures[i];
        const Projected p = ProjectPoint(rotation_, origin_, cell.pos3dX, cell.pos3dY - sink_[i], cell.pos3dZ);
        pic.screenX = p.x;
        pic.screenY = p.y;
        pic.shade = ShadeOfDepth(p.depth);
        const Chamber chamber = ChamberOfCell(cell.name);
        visible_[i] = chamber == kNoChamber || chambers_[static_cast<size_t>(chamber)];
        if (!volume) continue;

        const int32_t faces = std::clamp(pic.faceCount, 0, kMaxFaces);
        const int32_t budget = polygons_.Budget(faces, cellCount_ - i - 1);
        if (budget <= 0) continue;
        if (faces == 0 || budget < faces) {
            if (faces > 0) ++simplifiedCells_;
            const QPoint square[4] = {{p.x - 5, p.y - 5}, {p.x + 5, p.y - 5}, {p.x + 5, p.y + 5}, {p.x - 5, p.y + 5}};
            polygons_.Add(i, square, QPoint(p.x, p.y), pic.shade, visible_[i]);
            continue;
        }
        for (int32_t f = 0; f < faces; ++f) {
            const Point3& c = pic.faceCentre[f];
            const Point3& e0 = pic.faceEdge[f][0];
            const Point3& e1 = pic.faceEdge[f][1];
            const int32_t s = sink_[i];
            const Projected pc = ProjectPoint(rotation_, origin_, c.x, c.y - s, c.z);
            const Projected p0 = ProjectPoint(rotation_, origin_, e0.x, e0.y - s, e0.z);
            const Projected p1 = ProjectPoint(rotation_, origin_, e1.x, e1.y - s, e1.z);
            const QPoint corners[4] = {{p.x, p.y}, {p0.x, p0.y}, {pc.x, pc.y}, {p1.x, p1.y}};
            const QPoint reference((p.x + pc.x) / 2, (p.y + pc.y) / 2);
            polygons_.Add(i, corners, reference, (pic.shade + (200 - pc.depth)) / 2, visible_[i]);
        }
    }
}

HeartPicture3D::PointLook HeartPicture3D::TakePointLook(int32_t cell, int32_t style, int32_t tone) const {
    PointLook look;
    const CCell& c = heart_.cells[cell];
    const CellPicture& pic = heart_.cellPictures[cell];
    look.x = pic.screenX;
    look.y = pic.screenY;
    look.shade = pic.shade;
    look.fill = PointFill(c, pic.shade);
    if (style != kStyleSkeleton && style != kStyleDepolarization) {
        const std::string label = CellLabel(c, style, tone);
        std::snprintf(look.label, sizeof look.label, "%s", label.c_str());
    }
    return look;
}

HeartPicture3D::LinkLook3D HeartPicture3D::TakeLinkLook(int32_t link) {
    LinkLook3D look;
    CellLink& l = heart_.links[link];
    if (l.cellA < 0 || l.cellA >= cellCount_ || l.cellB < 0 || l.cellB >= cellCount_) return look;
    const CCell& a = heart_.cells[l.cellA];
    // A link into a hidden chamber stays when its first cell is shown and is of the His system.
    if (!visible_[l.cellA] || (!visible_[l.cellB] && a.name[1] != 'H')) return look;
    const CellPicture& pa = heart_.cellPictures[l.cellA];
    const CellPicture& pb = heart_.cellPictures[l.cellB];
    const int32_t s = pa.shade + pb.shade;
    const int32_t c = Byte(s / 2), d = Byte(s / 8);
    switch (l.linkType) {
        case LinkType::Bidir: look.colour = qRgb(d, c, d); break;
        case LinkType::BlocAntero: look.colour = qRgb(c, d, d); break;
        case LinkType::BlocRetro: look.colour = qRgb(c, c, d); break;
        case LinkType::BlocComplet: look.colour = qRgb(Byte(s / 4), Byte(s / 4), Byte(s / 4)); break;
    }
    look.ax = pa.screenX;
    look.ay = pa.screenY;
    look.bx = pb.screenX;
    look.by = pb.screenY;
    look.midpoint = l.showMidpoint != 0;
    look.drawn = true;
    const int32_t mx = (look.ax + look.bx) / 2, my = (look.ay + look.by) / 2;
    l.hitLeft = mx - 8;
    l.hitTop = my - 8;
    l.hitRight = mx + 8;
    l.hitBottom = my + 8;
    return look;
}

HeartPicture3D::CircleLook HeartPicture3D::TakeCircleLook(int32_t electrode, int32_t style) const {
    CircleLook look;
    look.electrode = electrode;
    const int32_t cell = ElectrodeCell(heart_, electrode);
    if (cell < 0 || cell >= cellCount_ || !visible_[cell]) return look;
    const CellPicture& pic = heart_.cellPictures[cell];
    look.placed = true;
    look.x = pic.screenX;
    look.y = pic.screenY;
    QColor colour = ElectrodeColour(electrode);
    const int32_t dim = pic.shade * 3 / 4;
    if (dim < 191) {
        const int32_t f = dim + 64;
        colour = QColor(colour.red() * f / 255, colour.green() * f / 255, colour.blue() * f / 255);
    }
    look.colour = colour.rgb();
    look.cell = cell;
    look.radius = style == kStyleName ? 12 : 7;
    return look;
}

void HeartPicture3D::TakePolygonFills(int32_t cell, int32_t style) {
    const CCell& c = heart_.cells[cell];
    const int32_t state = PolygonStateOf(c, style);
    int32_t steps = 0;
    for (int32_t p = polygonHead_[cell]; p >= 0 && steps < kMaxFaces; p = polygons_[p].next, ++steps) {
        polygons_[p].stateIndex = state;
        polygonFill_[static_cast<size_t>(p)] = PolygonFill(state, polygons_[p].key, c);
    }
}

void HeartPicture3D::PaintPoint(QPainter& painter, const PointLook& look, int32_t style) const {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor::fromRgb(look.fill));
    if (style == kStyleSkeleton) {
        painter.drawRect(QRect(QPoint(look.x - 4, look.y - 4), QPoint(look.x + 4 - 1, look.y + 4 - 1)));
        return;
    }
    painter.drawRect(QRect(QPoint(look.x - 10, look.y - 6), QPoint(look.x + 12 - 1, look.y + 6 - 1)));
    if (!look.label[0]) return;
    painter.setFont(PointLabelFont());
    const QString text = TextFromBytes(look.label);
    const int w = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(QPoint(look.x - w / 2, look.y + 4), text);
}

QRect HeartPicture3D::PointBounds(int32_t cell) const {
    const PointLook& look = pointLooks_[cell];
    return QRect(look.x - 40, look.y - 8, 96, 18);
}

QRect HeartPicture3D::PaintPointCell(QPainter& painter, int32_t cell, int32_t style, bool full) const {
    if (!visible_[cell]) return QRect();
    const PointLook& look = pointLooks_[cell];
    const int32_t occluder = occluderIndex_[cell];
    // A cell drawn exactly under a nearer one would only flicker through it.
    if (!full && occluder >= 0 && occluderX_[cell] == look.x && occluderY_[cell] == look.y) return QRect();
    PaintPoint(painter, look, style);
    QRect touched = PointBounds(cell);
    if (!full && occluder >= 0 && visible_[occluder]) {
        PaintPoint(painter, pointLooks_[occluder], style);
        touched |= PointBounds(occluder);
    }
    return touched;
}

void HeartPicture3D::PaintLink(QPainter& painter, const LinkLook3D& look) {
    if (!look.drawn) return;
    painter.setPen(QPen(QColor::fromRgb(look.colour), 1));
    painter.drawLine(look.ax, look.ay, look.bx, look.by);
    if (!look.midpoint) return;
    const int mx = (look.ax + look.bx) / 2, my = (look.ay + look.by) / 2;
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRect(mx - 2, my - 2, 3, 3));
}

void HeartPicture3D::PaintCircle(QPainter& painter, const CircleLook& look) {
    if (!look.placed) return;
    painter.setPen(QPen(QColor::fromRgb(look.colour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPoint(look.x, look.y), look.radius, look.radius);
}

void HeartPicture3D::PaintArrestLine(QPainter& painter) const {
    painter.setFont(ArrestFont());
    painter.setPen(QColor(255, 255, 128));
    const QRect box(pictureLeft_ + 40, pictureBottom_ - 44, width_ / 2 - pictureLeft_ - 80, 40);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, ArrestMessage());
}

void HeartPicture3D::DrawHeart(QPainter& client, int32_t style) {
    drawingBusy_ = true;
    const int32_t entryBottom = pictureBottom_;
    const bool volume = IsVolumeStyle(style);
    const bool full = fullCopyCounter_ > 0;
    refreshCountdown_.store(3);
    ++generation_;
    vectorLoop_.Reset();  // a loop starts again from the centre of the new picture
    pictureBottom_ = (height_ - 200) / 8 * 8;
    drawnStyle_ = style;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        heart_.pictureMode = style;
        const int32_t tone = heart_.tone;
        cellCount_ = std::clamp<int32_t>(heart_.cellCount, 0, kMaxCells);
        arrestState_ = heart_.arrestState;
        if (arrestState_ != 0) {
            ArrestStep();
        } else if (sunk_) {
            // The arrest is over (a load or a cardioversion): the heart stands where it stood.
            std::fill(std::begin(sink_), std::end(sink_), 0);
            sunk_ = false;
        }
        rotation_ = ComputeRotation(azimuth_, elevation_, displayScale_);
        origin_ = ProjectionOrigin(width_, height_);
        ProjectCells(style);
        linkLookCount_ = 0;
        if (arrestState_ == 0) {
            linkLookCount_ = std::clamp<int32_t>(heart_.linkCount, 0, kMaxLinks);
            for (int32_t i = 0; i < linkLookCount_; ++i) linkLooks_[i] = TakeLinkLook(i);
        }
        if (volume) {
            polygons_.Sort();
            polygons_.ChainCells(polygonHead_, cellCount_);
            for (int32_t i = 0; i < cellCount_; ++i) TakePolygonFills(i, style);
        } else {
            for (int32_t i = 0; i < cellCount_; ++i) {
                pointLooks_[i] = TakePointLook(i, style, tone);
                cellOrder_[i] = i;
            }
            std::stable_sort(cellOrder_, cellOrder_ + cellCount_, [this](int32_t a, int32_t b) {
                return pointLooks_[a].shade < pointLooks_[b].shade;
            });
        }
        int k = 0;
        for (int32_t e : kDrawnElectrodes) circles_[k++] = TakeCircleLook(e, style);
    }

    QPainter off(&offscreen_);
    off.setTransform(toView_);
    off.fillRect(QRect(QPoint(pictureLeft_, 0), QPoint(width_ / 2 - 1, entryBottom - 1)), Qt::black);
    for (int32_t i = 0; i < linkLookCount_; ++i) PaintLink(off, linkLooks_[i]);
    if (volume) {
        DrawOrientation(off, rotation_, width_, style);
        for (int32_t index : polygons_.Order())
            if (polygons_[index].visible) polygons_.Draw(off, index, polygonFill_[static_cast<size_t>(index)], false);
    } else {
        for (int32_t i = 0; i < cellCount_; ++i) PaintPointCell(off, cellOrder_[i], style, full);
    }
    for (const CircleLook& circle : circles_) PaintCircle(off, circle);
    if (!volume) DrawOrientation(off, rotation_, width_, style);
    if (arrestState_ != 0) PaintArrestLine(off);
    off.end();

    int32_t copyHeight = std::max(entryBottom, pictureBottom_);
    if (fullCopyCounter_ > 0) {
        --fullCopyCounter_;
        copyHeight = entryBottom;
    }
    CopyToClient(client, QRect(pictureLeft_, 0, width_ / 32 * 16 - pictureLeft_, copyHeight));
    drawingBusy_ = false;
}

void HeartPicture3D::RedrawHeart(QPainter& client, int32_t style) {
    pictureLeft_ = 32;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        ApplyLeadMarks(heart_);
    }
    DrawHeart(client, style);
}

void HeartPicture3D::FindOccluders() {
    const int32_t reachX = IsVolumeStyle(drawnStyle_) ? 30 : 16;
    const int32_t reachY = IsVolumeStyle(drawnStyle_) ? 30 : 12;
    // Screen points and shades are written by the drawing, on this thread: no lock needed.
    const CellPicture* pics = heart_.cellPictures;
    for (int32_t i = 0; i < cellCount_; ++i) {
        int32_t best = -1, bestDistance = 0;
        for (int32_t j = 0; j < cellCount_; ++j) {
            if (j == i || !visible_[j] || pics[j].shade <= pics[i].shade) continue;
            const int32_t dx = std::abs(pics[j].screenX - pics[i].screenX);
            const int32_t dy = std::abs(pics[j].screenY - pics[i].screenY);
            if (dx >= reachX || dy >= reachY) continue;
            if (best < 0 || dx + dy < bestDistance) {
                best = j;
                bestDistance = dx + dy;
            }
        }
        occluderIndex_[i] = best;
        occluderX_[i] = best >= 0 ? pics[best].screenX : 0;
        occluderY_[i] = best >= 0 ? pics[best].screenY : 0;
    }
}

bool HeartPicture3D::OnRedrawBeat() {
    int32_t c = refreshCountdown_.load();
    while (c > 1) {
        if (refreshCountdown_.compare_exchange_weak(c, c - 1)) return c - 1 == 1;
    }
    return false;
}

void HeartPicture3D::ComputeVisibleRegions(bool whenDue) {
    if (whenDue && refreshCountdown_.load() != 1) return;
    if (IsVolumeStyle(drawnStyle_)) polygons_.ComputeVisibleRegions(offscreen_.size(), ratio_, toView_);
    refreshCountdown_.store(0);
}

void HeartPicture3D::StartRegionWork(QObject* context, bool now) {
    if (now) refreshCountdown_.store(1);
    if (refreshCountdown_.load() != 1) return;
    if (!IsVolumeStyle(drawnStyle_)) {
        refreshCountdown_.store(0);
        return;
    }
    RegionJob job = polygons_.MakeRegionJob(offscreen_.size(), ratio_, toView_);
    job.generation = generation_;
    WaitForRegionWork();
    // One wake-up per context, made here on the interface thread; the worker only rings it.
    if (!regionWake_ || regionWake_->parent() != context)
        regionWake_ = new QueuedWake([this] { TakeRegionResult(); }, context);
    QueuedWake* wake = regionWake_;
    regionThread_ = std::thread([this, wake, job = std::move(job)] {
        auto result = std::make_unique<RegionResult>(ComputeRegions(job));
        {
            std::lock_guard<std::mutex> guard(resultLock_);
            regionResult_ = std::move(result);
        }
        wake->Wake();
    });
}

void HeartPicture3D::TakeRegionResult() {
    std::unique_ptr<RegionResult> result;
    {
        std::lock_guard<std::mutex> guard(resultLock_);
        result = std::move(regionResult_);
    }
    if (!result || result->generation != generation_ || refreshCountdown_.load() != 1) return;
    polygons_.ApplyRegions(*result);
    refreshCountdown_.store(0);
}

void HeartPicture3D::WaitForRegionWork() {
    if (regionThread_.joinable()) regionThread_.join();
}

HeartPicture3D::~HeartPicture3D() { WaitForRegionWork(); }

bool HeartPicture3D::QueueCellRepaint(int32_t cell) { return pendingCells_.Add(cell); }

void HeartPicture3D::DropCellRepaints() { pendingCells_.Clear(); }

QRect HeartPicture3D::FlushCellRepaints(QPainter& client) {
    const int32_t style = drawnStyle_;
    const bool volume = IsVolumeStyle(style);
    // Paused before the regions were computed: compute them now rather than paint over nearer faces.
    if (volume && refreshCountdown_.load() != 0) ComputeVisibleRegions();
    const int32_t count = pendingCells_.Count();
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        const int32_t tone = heart_.tone;
        for (int32_t i = 0; i < count; ++i) {
            const int32_t cell = pendingCells_.Cell(i);
            if (cell >= cellCount_) continue;
            if (volume) {
                TakePolygonFills(cell, style);
                continue;
            }
            pointLooks_[cell] = TakePointLook(cell, style, tone);
            const int32_t occluder = occluderIndex_[cell];
            if (occluder >= 0) pointLooks_[occluder] = TakePointLook(occluder, style, tone);
        }
    }
    QRect touched;
    const QTransform clientTransform = client.transform();
    client.setTransform(toView_);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t cell = pendingCells_.Cell(i);
        if (cell >= cellCount_ || !visible_[cell]) continue;
        if (!volume) {
            touched |= PaintPointCell(client, cell, style, false);
            continue;
        }
        int32_t steps = 0;
        for (int32_t p = polygonHead_[cell]; p >= 0 && steps < kMaxFaces; p = polygons_[p].next, ++steps) {
            const FacePolygon& polygon = polygons_[p];
            if (!polygon.enabled || !polygon.visible) continue;
            polygons_.Draw(client, p, polygonFill_[static_cast<size_t>(p)], true);
            touched |= polygon.bounds.adjusted(-1, -1, 1, 1);
        }
        // An electrode's circle stays on top of its cell's faces.
        for (const CircleLook& circle : circles_) {
            if (!circle.placed || circle.cell != cell) continue;
            PaintCircle(client, circle);
            const int r = circle.radius;
            touched |= QRect(circle.x - r - 2, circle.y - r - 2, 2 * r + 5, 2 * r + 5);
        }
    }
    pendingCells_.Clear();
    client.setTransform(clientTransform);
    return toView_.mapRect(touched);
}

QRect HeartPicture3D::DrawLink3D(QPainter& client, int32_t link) {
    LinkLook3D look;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        if (link < 0 || link >= heart_.linkCount || link >= kMaxLinks) return QRect();
        look = TakeLinkLook(link);
    }
    const QTransform clientTransform = client.transform();
    client.setTransform(toView_);
    PaintLink(client, look);
    client.setTransform(clientTransform);
    return toView_.mapRect(QRect(QPoint(look.ax, look.ay), QPoint(look.bx, look.by)).normalized().adjusted(-3, -3, 3, 3));
}

QRect HeartPicture3D::DrawVectorStep(QPainter& client, const EcgSample& sample) {
    const QTransform clientTransform = client.transform();
    client.setTransform(toView_);
    const QRect touched = vectorLoop_.Draw(client, rotation_, width_, sample.bytes[0], sample.bytes[1], sample.bytes[2]);
    client.setTransform(clientTransform);
    return toView_.mapRect(touched);
}

int32_t HeartPicture3D::HitLink(int32_t x, int32_t y) const {
    const QPoint at = ToPicture(x, y);
    // The squares are written by the drawings, on this thread.
    for (int32_t i = 0; i < heart_.linkCount && i < kMaxLinks; ++i) {
        const CellLink& l = heart_.links[i];
        if (at.x() >= l.hitLeft && at.x() < l.hitRight && at.y() >= l.hitTop && at.y() < l.hitBottom) return i;
    }
    return -1;
}

int32_t HeartPicture3D::HitCell(int32_t vx, int32_t vy) const {
    const QPoint at = ToPicture(vx, vy);
    const int32_t x = at.x(), y = at.y();
    // Every cell is drawn at its projected point here, whatever its flat shape.
    const bool wide = drawnStyle_ == kStyleFullVolume && !linkClickFullVolume_;
    const int32_t reachX = wide ? 16 : 8, reachY = wide ? 16 : 6;
    for (int32_t i = 0; i < cellCount_; ++i) {
        if (!visible_[i]) continue;
        const CellPicture& pic = heart_.cellPictures[i];
        if (std::abs(x - pic.screenX) <= reachX && std::abs(y - pic.screenY) <= reachY) return i;
    }
    return -1;
}

}  // namespace vantrel
