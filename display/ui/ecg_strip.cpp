#include "display/ui/ecg_strip.h"

#include <QPainter>
#include <algorithm>

#include "display/ui/trace_pen.h"

namespace vantrel {

namespace {

// Fills columns fromX..toX - 1 and rows fromY..toY - 1 (right and bottom edges excluded).
void FillColumns(QPainter& p, int32_t fromX, int32_t fromY, int32_t toX, int32_t toY, const QColor& colour) {
    if (toX <= fromX || toY <= fromY) return;
    p.fillRect(QRect(fromX, fromY, toX - fromX, toY - fromY), colour);
}

}  // namespace

StripGeometry StripGeometryFor(int32_t w, int32_t h, bool fullWidth) {
    StripGeometry g;
    g.left = fullWidth ? 65 : w / 2 + 60;
    g.right = w - 10;
    g.top = h / 4;
    g.icSpacing = h / 24;
    g.surfaceSpacing = h / 9;
    g.bottom = h - 100;
    g.firstBaseline = g.top + g.surfaceSpacing / 2;
    return g;
}

int32_t StripGeometry::Baseline(int trace) const {
    if (trace <= 4) return firstBaseline + (trace - 1) * icSpacing;
    return firstBaseline + 3 * icSpacing + (trace - 4) * surfaceSpacing;
}

QRect StripGeometry::TraceBand(int trace) const {
    const int32_t base = Baseline(trace);
    const int32_t above = trace == 1 ? icSpacing / 2 : (base - Baseline(trace - 1)) / 2;
    const int32_t below = trace == kStripTraceCount ? bottom - base : (Baseline(trace + 1) - base) / 2;
    return QRect(QPoint(left, std::max(base - above, top)), QPoint(right, std::min(base + below, bottom)));
}

QColor EcgStrip::TraceColour() { return QColor(64, 255, 64); }
QColor EcgStrip::GridColour() { return QColor(64, 128, 64); }
QColor EcgStrip::BackgroundColour() { return QColor(0, 0, 64); }

void EcgStrip::SetLayout(int32_t w, int32_t h) {
    const StripGeometry g = StripGeometryFor(w, h, true);
    layoutWidth_ = w;
    penX_ = 65.0f;
    stripLeft_ = g.left;
    stripRight_ = g.right;
    stripTop_ = g.top;
    icSpacing_ = g.icSpacing;
    surfaceSpacing_ = g.surfaceSpacing;
    stripBottom_ = g.bottom;
    firstBaseline_ = g.firstBaseline;
    drawingEnabled_ = 1;
}

void EcgStrip::SetLeftEdge(bool fullWidth) {
    if (fullWidth) {
        stripLeft_ = 65;
    } else {
        stripLeft_ = StripGeometryFor(layoutWidth_, 0, false).left;
        if (penX_ < static_cast<float>(stripLeft_)) penX_ = static_cast<float>(stripLeft_);
    }
}

void EcgStrip::SetSweepSpeed(int32_t index) {
    speedIndex_ = index;
    switch (index) {
    case 0: step_ = 2.0f; break;
    case 1: step_ = 1.0f; break;
    case 2: step_ = 0.5f; break;
    case 3: step_ = 0.25f; break;
    default: break;
    }
}

void EcgStrip::SetLeads(int32_t lead1, int32_t lead2, int32_t lead3) {
    leadOfTrace_[0] = lead1;
    leadOfTrace_[1] = lead2;
    leadOfTrace_[2] = lead3;
}

void EcgStrip::GetIntracardiacBaselines(int32_t baselines[4]) const {
    for (int k = 0; k < 4; ++k) baselines[k] = firstBaseline_ + k * icSpacing_;
}

int32_t EcgStrip::Baseline(int trace) const {
    if (trace <= 4) return firstBaseline_ + (trace - 1) * icSpacing_;
    return firstBaseline_ + 3 * icSpacing_ + (trace - 4) * surfaceSpacing_;
}

bool EcgStrip::ToggleGrid() {
    gridOn_ = gridOn_ ? 0 : 1;
    return gridOn_ != 0;
}

QRect EcgStrip::StripRect() const {
    return QRect(stripLeft_ - 1, stripTop_, stripRight_ + 2 - stripLeft_, stripBottom_ - stripTop_);
}

QString EcgStrip::ElapsedLabel(int32_t runMode, int32_t sinusClockMs) {
    if (runMode == 1) return QStringLiteral("- ms");
    return QString::asprintf("%dms", static_cast<int>(sinusClockMs));
}

void EcgStrip::DrawSample(QPainter& p, const EcgSample& s, int32_t clipTop, int32_t clipBottom) {
    const int32_t x = static_cast<int32_t>(penX_);
    for (int trace = 1; trace <= 4; ++trace)
        DrawTraceSegment(p, last_[trace - 1], x, stripLeft_, s.bytes[2 + trace], Baseline(trace), gain_, clipTop,
                         clipBottom, false);
    for (int trace = 5; trace <= 7; ++trace)
        DrawTraceSegment(p, last_[trace - 1], x, stripLeft_, LeadValue(s, leadOfTrace_[trace - 5]), Baseline(trace),
                         gain_, clipTop, clipBottom, false);
    penX_ = AdvancedPenX(penX_, step_, stripLeft_, stripRight_);
}

void EcgStrip::RestartTraces(QPainter& p) {
    const int32_t x = static_cast<int32_t>(penX_);
    for (int trace = 1; trace <= kStripTraceCount; ++trace)
        DrawTraceSegment(p, last_[trace - 1], x, stripLeft_, 0, Baseline(trace), gain_, stripTop_, stripBottom_, true);
}

void EcgStrip::DrawGrid(QPainter& p, int32_t fromX, int32_t toX, bool joinDashes) const {
    p.setPen(QPen(GridColour(), 0));
    const int32_t first = std::max(fromX, stripLeft_ - 1);
    const int32_t lastX = std::min(toX, stripRight_);
    for (int32_t x = first; x <= lastX; ++x) {
        if (x % 4 != 0) continue;
        if (x % 20 == 0) LineToExcludingEnd(p, x, stripTop_ + 1, x, stripBottom_);
        const int32_t dashFrom = joinDashes ? std::max(x - 4, stripLeft_) : x;
        for (int32_t y = stripTop_ + 1; y < stripBottom_; ++y) {
            if (y % 4 != 0) continue;
            if (y % 20 == 0)
                LineToExcludingEnd(p, dashFrom, y, x + 4, y);
            else
                p.drawPoint(x, y);
        }
    }
}

void EcgStrip::ClearStrip(QPainter& p, const QColor& outline) const {
    const QRect r = StripRect();
    p.fillRect(r, BackgroundColour());
    p.setPen(QPen(outline, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (gridOn_) DrawGrid(p, stripLeft_ - 1, stripRight_, false);
}

QRect EcgStrip::DrawNew(QPainter& p) {
    const int32_t writeIndex = samples_.WriteIndex();
    const int32_t band = static_cast<int32_t>(step_ * 40);
    int32_t n = writeIndex - drawnIndex_;
    if (n < 0) n += kRingSamples;
    const int32_t advance = static_cast<int32_t>(static_cast<float>(n) * step_);
    const int32_t x0 = static_cast<int32_t>(penX_);
    const int32_t top = stripTop_ + 1;
    const int32_t bottom = stripBottom_ - 1;
    const QColor background = BackgroundColour();

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QRect painted;
    if (static_cast<float>(stripRight_) > penX_ + static_cast<float>(advance + band)) {
        const int32_t from = x0 + band - 1;
        const int32_t to = x0 + band + advance;
        FillColumns(p, from, top, to, bottom, background);
        if (gridOn_) DrawGrid(p, from, to, true);
        painted = QRect(QPoint(x0 - 2, stripTop_), QPoint(to + 5, stripBottom_));
    } else {
        const int32_t wrapTo = x0 + advance - stripRight_ + stripLeft_ + band + 1;
        FillColumns(p, x0 + band, top, stripRight_, bottom, background);
        FillColumns(p, stripLeft_, top, wrapTo, bottom, background);
        if (gridOn_) {
            DrawGrid(p, x0 + band, stripRight_, false);
            DrawGrid(p, stripLeft_, wrapTo, false);
        }
        painted = StripRect();
    }

    p.setPen(QPen(TraceColour(), 0));
    while (drawnIndex_ != writeIndex) {
        if (drawingEnabled_) DrawSample(p, samples_.liveRing[drawnIndex_], top, bottom);
        drawnIndex_ = (drawnIndex_ + 1) % kRingSamples;
    }
    p.restore();
    return painted;
}

QRect EcgStrip::Redraw(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    drawingEnabled_ = 0;
    ClearStrip(p, TraceColour());
    const float keptPen = penX_;
    penX_ += 19;
    RestartTraces(p);
    const int32_t count = static_cast<int32_t>(static_cast<float>(stripRight_ - stripLeft_ - 20) / step_);
    int32_t index = drawnIndex_ - count;
    if (index < 0) index += kRingSamples;
    p.setPen(QPen(TraceColour(), 0));
    for (int32_t i = 0; i < count; ++i) {
        DrawSample(p, samples_.liveRing[index], stripTop_, stripBottom_);
        index = (index + 1) % kRingSamples;
    }
    penX_ = keptPen;
    drawingEnabled_ = 1;
    p.restore();
    return StripRect();
}

QRect EcgStrip::DrawBackground(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    drawingEnabled_ = 0;
    ClearStrip(p, Qt::black);
    penX_ = static_cast<float>(stripLeft_);
    drawnIndex_ = samples_.WriteIndex();
    drawingEnabled_ = 1;
    RestartTraces(p);
    p.restore();
    return StripRect();
}

}  // namespace vantrel
