#include "display/ui/twelve_lead_report.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "engine/ecg_display.h"

namespace vantrel {

namespace {

constexpr double kGridWidthMm = 260;   // 10 mm of calibration + 10 s at 25 mm/s
constexpr double kRowPitchMm = 40;     // four rows of +-2 mV
constexpr double kHeadingMm = 22;      // heading above the paper
constexpr double kMmPerSample = 0.125; // 5 ms at 25 mm/s
constexpr double kMmPerUnit = 0.125;   // 12.5 uV at 10 mm/mV
constexpr int kColumnSamples = 500;    // 2.5 s

QColor MinorLine() { return QColor(255, 190, 190); }
QColor MajorLine() { return QColor(225, 90, 90); }

QString Value(int32_t v, const char* unit) {
    return v < 0 ? QStringLiteral("-") : QString::number(v) + QLatin1String(unit);
}

}  // namespace

QString ReportMeasurementLine(const TwelveLeadReport& r) {
    return "Rate " + Value(r.rateBpm, " bpm") + "     PR " + Value(r.prMs, " ms") + "     QRS " +
           Value(r.qrsMs, " ms") + "     QT " + Value(r.qtMs, " ms") + "     QTc " + Value(r.qtcMs, " ms");
}

ReportLayout PlanTwelveLeadReport(const QRect& page, int dpiX, int dpiY) {
    ReportLayout layout;
    layout.pixelsPerMmX = dpiX / 25.4;
    layout.pixelsPerMmY = dpiY / 25.4;
    const double pageWidthMm = page.width() / layout.pixelsPerMmX;
    // Centred across the page, on whole millimetres so that the squares start on a line.
    const double leftMm = std::max(0.0, std::floor((pageWidthMm - kGridWidthMm) / 2));
    layout.grid = QRectF(page.left() + leftMm * layout.pixelsPerMmX, page.top() + kHeadingMm * layout.pixelsPerMmY,
                         kGridWidthMm * layout.pixelsPerMmX, 4 * kRowPitchMm * layout.pixelsPerMmY);
    layout.traceLeft = layout.grid.left() + 10 * layout.pixelsPerMmX;
    for (int row = 0; row < 4; ++row)
        layout.rowBaseline[row] = layout.grid.top() + (kRowPitchMm / 2 + row * kRowPitchMm) * layout.pixelsPerMmY;
    return layout;
}

void DrawTwelveLeadReport(QPainter& p, const QRect& page, int dpiX, int dpiY, const TwelveLeadReport& report) {
    const ReportLayout L = PlanTwelveLeadReport(page, dpiX, dpiY);
    const double mmX = L.pixelsPerMmX;
    const double mmY = L.pixelsPerMmY;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);

    // Heading: what, whose, when, and the measurements.
    QFont title("Arial");
    title.setPixelSize(static_cast<int>(4.2 * mmY));
    title.setBold(true);
    QFont text("Arial");
    text.setPixelSize(static_cast<int>(3.4 * mmY));
    p.setPen(Qt::black);
    p.setFont(title);
    const double left = L.grid.left();
    p.drawText(QPointF(left, page.top() + 5 * mmY), "12-lead ECG   " + report.modelName);
    p.setFont(text);
    p.drawText(QPointF(left, page.top() + 10.5 * mmY), report.when + "     " + report.stretch);
    p.drawText(QPointF(left, page.top() + 16 * mmY), ReportMeasurementLine(report));
    p.drawText(QPointF(left + 150 * mmX, page.top() + 16 * mmY), "25 mm/s   10 mm/mV");
    p.drawText(QPointF(left, L.grid.bottom() + 5 * mmY),
               "Vantrel, a teaching simulator: this ECG comes from a heart model, not from a patient.");

    // Paper: a line every millimetre, a stronger one every 5 mm.
    const int columns = static_cast<int>(std::lround(L.grid.width() / mmX));
    const int rows = static_cast<int>(std::lround(L.grid.height() / mmY));
    const QPen minor(MinorLine(), 0.1 * mmX);
    const QPen major(MajorLine(), 0.2 * mmX);
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(pass == 0 ? minor : major);
        for (int k = 0; k <= columns; ++k)
            if ((k % 5 == 0) == (pass == 1))
                p.drawLine(QPointF(left + k * mmX, L.grid.top()), QPointF(left + k * mmX, L.grid.bottom()));
        for (int k = 0; k <= rows; ++k)
            if ((k % 5 == 0) == (pass == 1))
                p.drawLine(QPointF(left, L.grid.top() + k * mmY), QPointF(L.grid.right(), L.grid.top() + k * mmY));
    }

    const QPen tracePen(Qt::black, 0.25 * mmX, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const int sampleCount = std::min<int>(static_cast<int>(report.samples.size()), kReportSamples);
    // One lead over samples [from, to) drawn from x0, clipped to the paper.
    auto drawLead = [&](int lead, int from, int to, double x0, double baseline) {
        QPainterPath path;
        bool open = false;
        for (int k = from; k < to && k < sampleCount; ++k) {
            const double x = x0 + (k - from) * kMmPerSample * mmX;
            const int32_t v = LeadValue(report.samples[k], lead);
            if (v <= -1000) {  // a pacing mark: a 5 mm stroke up or down
                path.moveTo(x, baseline);
                path.lineTo(x, baseline + (v == -1000 ? -5 : 5) * mmY);
                open = false;
                continue;
            }
            const double y = std::clamp(baseline - v * kMmPerUnit * mmY, L.grid.top(), L.grid.bottom());
            if (open)
                path.lineTo(x, y);
            else
                path.moveTo(x, y);
            open = true;
        }
        p.drawPath(path);
    };
    auto drawCalibration = [&](double baseline) {
        const double x = left + 2 * mmX;
        QPainterPath path;
        path.moveTo(x, baseline);
        path.lineTo(x + 1 * mmX, baseline);
        path.lineTo(x + 1 * mmX, baseline - 10 * mmY);  // 1 mV
        path.lineTo(x + 6 * mmX, baseline - 10 * mmY);  // 200 ms
        path.lineTo(x + 6 * mmX, baseline);
        path.lineTo(x + 7 * mmX, baseline);
        p.drawPath(path);
    };

    p.setBrush(Qt::NoBrush);
    const double columnWidth = kColumnSamples * kMmPerSample * mmX;
    for (int row = 0; row < 3; ++row) {
        const double baseline = L.rowBaseline[row];
        p.setPen(tracePen);
        drawCalibration(baseline);
        for (int column = 0; column < 4; ++column) {
            const double x0 = L.traceLeft + column * columnWidth;
            p.setPen(tracePen);
            drawLead(kReportLeads[row][column], column * kColumnSamples, (column + 1) * kColumnSamples, x0, baseline);
            if (column > 0) p.drawLine(QPointF(x0, baseline - 3 * mmY), QPointF(x0, baseline + 3 * mmY));
            p.setFont(text);
            const std::string_view name = LeadTable[kReportLeads[row][column]];
            p.drawText(QPointF(x0 + 1.5 * mmX, baseline - 12 * mmY), QString::fromLatin1(name.data(), name.size()));
        }
    }
    p.setPen(tracePen);
    drawCalibration(L.rowBaseline[3]);
    drawLead(kRhythmLead, 0, kReportSamples, L.traceLeft, L.rowBaseline[3]);
    p.drawText(QPointF(L.traceLeft + 1.5 * mmX, L.rowBaseline[3] - 12 * mmY), "II");
    p.restore();
}

}  // namespace vantrel
