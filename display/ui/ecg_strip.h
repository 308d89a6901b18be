// The live ECG strip: a sweep display that draws the sample store's newest samples as seven
// traces (four intracardiac, three chosen surface leads) with a blank band ahead of the pen,
// the way a bedside monitor does.  Everything is in the view's client coordinates, computed from
// the layout size (which follows the window; a new size calls SetLayout again).
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>

#include "display/ui/trace_pen.h"
#include "engine/ecg_display.h"

class QPainter;

namespace vantrel {

inline constexpr int kStripTraceCount = 7;

// Where the strip lies for a layout size and screen: the one arithmetic of the strip's geometry,
// used by the strip itself and by the view to keep its panels and controls off the traces.
struct StripGeometry {
    int32_t left = 0, right = 0, top = 0, bottom = 0;
    int32_t icSpacing = 0, surfaceSpacing = 0, firstBaseline = 0;
    int32_t Baseline(int trace) const;  // trace 1..7
    // The rows a trace's signal is drawn in: from half-way to the baseline above to half-way to
    // the one below (the first from the same distance above, the last down to the strip's bottom),
    // across the strip's width.
    QRect TraceBand(int trace) const;
    // The strip with its outline.
    QRect Rect() const { return QRect(left - 1, top, right + 2 - left, bottom - top); }
};
StripGeometry StripGeometryFor(int32_t layoutWidth, int32_t layoutHeight, bool fullWidth);

// Reads the sample store as its one consumer: the write index once per drawing, and only the
// samples before it.
class EcgStrip {
public:
    explicit EcgStrip(const EcgDisplay& samples) : samples_(samples) {}

    // Geometry from the layout size (w = layoutWidth, h = layoutHeight).
    void SetLayout(int32_t layoutWidth, int32_t layoutHeight);
    // Full width (ECG and frozen screens) or the right half (heart-model screen).
    void SetLeftEdge(bool fullWidth);
    // 0..3 = 100, 50, 25, 12.5 mm/s; another index is stored and leaves the step unchanged.
    void SetSweepSpeed(int32_t index);
    void SetLeads(int32_t lead1, int32_t lead2, int32_t lead3);
    // The four intracardiac baselines, top to bottom.
    void GetIntracardiacBaselines(int32_t baselines[4]) const;
    bool ToggleGrid();
    bool IsGridOn() const { return gridOn_ != 0; }
    void Resync() { drawnIndex_ = samples_.WriteIndex(); }

    // Draws every sample that arrived since the last drawing and erases the band ahead of the
    // pen; returns the area painted (for the widget update).
    QRect DrawNew(QPainter& p);
    // Repaints the whole strip with the last screenful of samples, ending at the pen.
    QRect Redraw(QPainter& p);
    // Clears the strip and restarts the sweep at the left edge; samples that arrived meanwhile
    // are skipped.
    QRect DrawBackground(QPainter& p);

    // The elapsed-time label: "- ms" at normal speed, else the ms since the sinus cell fired.
    static QString ElapsedLabel(int32_t runMode, int32_t sinusClockMs);

    // Read-only state, for the view's layout and for tests.
    int32_t StripLeft() const { return stripLeft_; }
    int32_t StripRight() const { return stripRight_; }
    int32_t StripTop() const { return stripTop_; }
    int32_t StripBottom() const { return stripBottom_; }
    int32_t Baseline(int trace) const;  // trace 1..7
    float PenX() const { return penX_; }
    float Step() const { return step_; }
    int32_t SpeedIndex() const { return speedIndex_; }
    int32_t DrawnIndex() const { return drawnIndex_; }
    int32_t LeadOfTrace(int i) const { return leadOfTrace_[i]; }
    QRect StripRect() const;  // the whole strip including its outline

    // The colours that the strip's pixels are made of.
    static QColor TraceColour();
    static QColor GridColour();
    static QColor BackgroundColour();

private:
    void DrawSample(QPainter& p, const EcgSample& sample, int32_t clipTop, int32_t clipBottom);
    void RestartTraces(QPainter& p);
    void DrawGrid(QPainter& p, int32_t fromX, int32_t toX, bool joinDashes) const;
    void ClearStrip(QPainter& p, const QColor& outline) const;

    const EcgDisplay& samples_;
    int32_t speedIndex_ = 2;
    int32_t drawnIndex_ = 0;  // next ring slot DrawNew draws
    int32_t gain_ = 8;        // a value v is drawn v * gain / 16 pixels above its baseline
    float penX_ = 0;
    int32_t stripLeft_ = 65, stripRight_ = 0;
    int32_t drawingEnabled_ = 0;
    int32_t gridOn_ = 0;
    int32_t firstBaseline_ = 0;
    int32_t stripBottom_ = 0;
    int32_t leadOfTrace_[3] = {0, 1, 6};
    float step_ = 0.5f;  // pixels per sample
    int32_t stripTop_ = 0;
    int32_t icSpacing_ = 0;
    int32_t surfaceSpacing_ = 0;
    int32_t layoutWidth_ = 0;
    TracePoint last_[kStripTraceCount];  // last drawn point of each trace
};

}  // namespace vantrel
