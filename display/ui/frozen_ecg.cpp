#include "display/ui/frozen_ecg.h"

#include <QPainter>
#include <algorithm>

#include "display/ui/dotted_line.h"
#include "display/ui/ecg_strip.h"
#include "display/ui/rate_trend.h"
#include "display/ui/trace_pen.h"

namespace vantrel {

namespace {

// The screen's vertical gain: a sample value v is drawn v * 8 / 16 pixels above its baseline.
constexpr int32_t kScreenGain = 8;

// Texts of the frozen screen: black on the trend's grey, baseline at y.
void DrawScreenText(QPainter& p, int x, int y, const QString& text) {
    p.save();
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(TrendPanelColour());
    p.setPen(Qt::black);
    p.drawText(x, y, text);
    p.restore();
}

}  // namespace

void FrozenTracePen::Segment(QPainter& p, int32_t value, int32_t baseline, int32_t clipTop, int32_t clipBottom,
                             bool restart, int trace) {
    DrawTraceSegment(p, last_[trace - 1], static_cast<int32_t>(penX_), stripLeft_, value, baseline, gain_, clipTop,
                     clipBottom, restart);
}

void FrozenTracePen::Advance() { penX_ = AdvancedPenX(penX_, step_, stripLeft_, stripRight_); }

int32_t FrozenEcg::CaliperMs(int32_t caliper1X, int32_t caliper2X, float step) {
    return static_cast<int32_t>(static_cast<float>((caliper2X - caliper1X) * 5) / step);
}

QString FrozenEcg::CaliperMsText(int32_t ms) { return QString::asprintf("%dms    ", static_cast<int>(ms)).left(7); }

QString FrozenEcg::CaliperRateText(int32_t ms) {
    if (ms <= 100) return QString();
    return QString::asprintf("(60000/%d=%d)", static_cast<int>(ms), static_cast<int>(60000 / ms));
}

QString FrozenEcg::TimeLabel(int32_t j) {
    return QString::asprintf("%02d:%02d", static_cast<int>(j / 12000), static_cast<int>((j / 200) % 60)).left(5);
}

void FrozenEcg::DrawFrozen(QPainter& p, int32_t position, int32_t layoutWidth, int32_t layoutHeight,
                           const QFont& font) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    strip_.DrawBackground(p);
    DrawRateTrend(p, record_.frozenRate, layoutWidth, strip_.StripTop(), font);
    if (position == -1)
        position = frozenPosition_;
    else
        frozenPosition_ = position;

    p.setPen(QPen(TrendCursorColour(), 0));
    const int cursorX = TrendCursorX(position);
    DottedLine(p, cursorX, TrendRowsAbove(strip_.StripTop()).baselineY, cursorX, kTrendTop - 1);

    const int32_t left = strip_.StripLeft();
    const int32_t right = strip_.StripRight();
    const float step = strip_.Step();
    int32_t j = FirstFrozenSample(position, static_cast<int32_t>(static_cast<float>(right - left) / step));
    DrawScreenText(p, 6, layoutHeight - 100, TimeLabel(j));

    const int32_t top = strip_.StripTop();
    const int32_t bottom = strip_.StripBottom();
    FrozenTracePen pen(left, right, step, kScreenGain);
    auto drawSample = [&](const EcgSample& s, bool restart) {
        for (int trace = 1; trace <= 4; ++trace)
            pen.Segment(p, s.bytes[2 + trace], strip_.Baseline(trace), top, bottom, restart, trace);
        for (int trace = 5; trace <= 7; ++trace)
            pen.Segment(p, LeadValue(s, strip_.LeadOfTrace(trace - 5)), strip_.Baseline(trace), top, bottom, restart,
                        trace);
    };
    p.setPen(QPen(EcgStrip::TraceColour(), 0));
    // A stretch starting at the very end of the record has nothing to show: flat restart lines.
    drawSample(j < kRingSamples ? record_.frozenRing[j] : EcgSample{}, true);
    while (j < kRingSamples && pen.PenX() < static_cast<float>(right - 4)) {
        drawSample(record_.frozenRing[j], false);
        pen.Advance();
        ++j;
    }
    DrawCalipers(p, top, bottom, left + 10, top + 16, step);
    p.restore();
}

void FrozenEcg::DrawCalipers(QPainter& p, int32_t top, int32_t bottom, int32_t textX, int32_t textY,
                             float step) const {
    p.save();
    p.setPen(QPen(TrendCursorColour(), 0));
    for (int32_t x : {caliper1X_, caliper2X_})
        if (x != 0) DottedLine(p, x, top, x, bottom);
    if (caliper1X_ != 0 && caliper2X_ != 0) {
        const int32_t ms = CaliperMs(caliper1X_, caliper2X_, step);
        DrawScreenText(p, textX, textY, CaliperMsText(ms));
        if (ms > 100) DrawScreenText(p, textX + 60, textY, CaliperRateText(ms));
    }
    p.restore();
}

bool FrozenEcg::SetCalipers(int x, int y) {
    if (x < strip_.StripLeft() || x >= strip_.StripRight() || y < strip_.StripTop() || y >= strip_.StripBottom())
        return false;
    caliper1X_ = caliper2X_;
    caliper2X_ = x;
    return true;
}

int32_t FrozenEcg::QueueStrip(int32_t n) {
    if (n > 4 || n < 0) return 0;
    printSlots_[n] = frozenPosition_;
    if (n < 4) printSlots_[n + 1] = 0;
    return frozenPosition_ > 0 ? frozenPosition_ : 1;
}

}  // namespace vantrel
