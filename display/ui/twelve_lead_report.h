// The 12-lead report: one landscape page laid out like a clinical electrocardiograph's, with the
// twelve standard leads in 3 rows of 4 columns of 2.5 s (I, aVR, V1, V4 / II, aVL, V2, V5 / III,
// aVF, V3, V6) and lead II as a 10 s rhythm strip below them, at 25 mm/s and 10 mm/mV on paper
// of 1 mm and 5 mm squares, with a calibration pulse of 1 mV at the start of every row and the
// measurements of the stretch in the heading.
#pragma once

#include <QRect>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

#include "engine/ecg_synthesis.h"

class QPainter;

namespace vantrel {

inline constexpr int32_t kReportSamples = 2000;  // 10 s

struct TwelveLeadReport {
    std::vector<EcgSample> samples;  // 10 s in time order; fewer are drawn from the left
    QString modelName;
    QString when;                    // date and time of the recording, as shown
    QString stretch;                 // which stretch of the run the page shows
    int32_t rateBpm = -1;            // -1 = not measured
    int32_t prMs = -1;
    int32_t qrsMs = -1;
    int32_t qtMs = -1;
    int32_t qtcMs = -1;
};

// Where the page puts its paper and traces, in device pixels.
struct ReportLayout {
    double pixelsPerMmX = 0, pixelsPerMmY = 0;
    QRectF grid;               // the ECG paper; its top-left corner is a 5 mm line crossing
    double traceLeft = 0;      // x of the first sample of every row (after the calibration pulse)
    double rowBaseline[4] = {};  // rows 0..2 of the twelve leads, row 3 the rhythm strip
};

// The lead in each row (0..2) and column (0..3), as `LeadTable` indexes; the rhythm strip is II.
inline constexpr int kReportLeads[3][4] = {{0, 3, 6, 9}, {1, 4, 7, 10}, {2, 5, 8, 11}};
inline constexpr int kRhythmLead = 1;

ReportLayout PlanTwelveLeadReport(const QRect& page, int dpiX, int dpiY);
void DrawTwelveLeadReport(QPainter& p, const QRect& page, int dpiX, int dpiY, const TwelveLeadReport& report);

// The measurement line of the heading ("Rate 75 bpm   PR 160 ms ..."); unknown values as "-".
QString ReportMeasurementLine(const TwelveLeadReport& report);

}  // namespace vantrel
