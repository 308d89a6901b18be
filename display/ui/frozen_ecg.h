// The frozen-ECG screen: the heart-rate trend of the frozen 15 minutes with a cursor, below it a
// stretch of the frozen record drawn like the live strip (same traces, baselines, leads and sweep
// speed), and two calipers that measure an interval and its rate.  The same record is printed as
// a page of up to six strips of two leads (display/ui/ecg_print_page.h).
#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

#include "display/ui/trace_pen.h"
#include "engine/frozen_record.h"

class QPainter;

namespace vantrel {

class EcgStrip;

class FrozenEcg {
public:
    // The strip gives the geometry, leads and sweep speed; `record` is the frozen copy.
    FrozenEcg(const FrozenRecord& record, EcgStrip& strip) : record_(record), strip_(strip) {}

    // Draws the whole frozen screen ending at position `position` (seconds before the freeze);
    // -1 keeps the position last drawn.  `layoutWidth`, `layoutHeight` are the screen's layout
    // size; texts are in `font`.
    void DrawFrozen(QPainter& p, int32_t position, int32_t layoutWidth, int32_t layoutHeight, const QFont& font);

    // A click in the strip: the older caliper is dropped and the new one set at x.  False (and
    // nothing changes) when (x, y) lies outside the strip, right and bottom edges excluded.
    bool SetCalipers(int x, int y);
    void ClearCalipers() { caliper1X_ = caliper2X_ = 0; }
    int32_t Caliper1X() const { return caliper1X_; }
    int32_t Caliper2X() const { return caliper2X_; }

    // Queues the shown position for the printed page in slot n (0..4) and ends the list after
    // it; returns the shown position, or 1 when that is 0.  n above 4 queues nothing and
    // returns 0: the page is full.
    int32_t QueueStrip(int32_t n);
    int32_t PrintSlot(int i) const { return printSlots_[i]; }
    int32_t FrozenPosition() const { return frozenPosition_; }
    void SetFrozenPosition(int32_t position) { frozenPosition_ = position; }

    // Seconds that Move left and Move right step at a sweep speed: 2 / step, truncated (1, 2, 4
    // or 8 for 2.0, 1.0, 0.5 and 0.25 pixels per sample).
    static int32_t MoveStepSeconds(float step) { return static_cast<int32_t>(2.0f / step); }

    // The caliper texts for an interval between two caliper x: "%dms" padded to 7 characters,
    // and "(60000/%d=%d)" when the interval exceeds 100 ms (empty otherwise).
    static int32_t CaliperMs(int32_t caliper1X, int32_t caliper2X, float step);
    static QString CaliperMsText(int32_t ms);
    static QString CaliperRateText(int32_t ms);
    // "%02d:%02d": the time of sample j from the start of the frozen 15 minutes.
    static QString TimeLabel(int32_t j);

    const FrozenRecord& Record() const { return record_; }
    EcgStrip& Strip() { return strip_; }
    const EcgStrip& Strip() const { return strip_; }

    // Draws the calipers and their texts (screen coordinates), on whatever device.
    void DrawCalipers(QPainter& p, int32_t top, int32_t bottom, int32_t textX, int32_t textY, float step) const;

private:
    const FrozenRecord& record_;
    EcgStrip& strip_;
    int32_t printSlots_[5] = {};
    int32_t frozenPosition_ = 0;  // seconds before the freeze at which the shown strip ends
    int32_t caliper1X_ = 0, caliper2X_ = 0;  // 0 = none
};

// Draws one stretch of frozen traces with the live strip's own routine (display/ui/trace_pen.h):
// a line from each trace's last point, spikes for the pacing marks, clamping to the clip band.
// Shared by the screen and the printed page.
class FrozenTracePen {
public:
    FrozenTracePen(int32_t stripLeft, int32_t stripRight, float step, int32_t gain)
        : stripLeft_(stripLeft), stripRight_(stripRight), step_(step), gain_(gain), penX_(static_cast<float>(stripLeft)) {}
    void Segment(QPainter& p, int32_t value, int32_t baseline, int32_t clipTop, int32_t clipBottom, bool restart,
                 int trace);
    void Advance();
    float PenX() const { return penX_; }

private:
    int32_t stripLeft_, stripRight_;
    float step_;
    int32_t gain_;
    float penX_;
    TracePoint last_[7];  // last drawn point of each trace
};

}  // namespace vantrel
