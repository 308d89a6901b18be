#include "display/ui/ecg_print_page.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

#include "display/ui/ecg_strip.h"
#include "display/ui/frozen_ecg.h"

namespace vantrel {

namespace {

// The pitch of the strips: 1.76 inch, or less when six of them would not fit the printable area.
int32_t StripPitch(const PrintPageMetrics& m) {
    const int32_t pitch = static_cast<int32_t>(1.76 * m.dpiY);
    if (m.printableHeight <= 0 || 100 + 6 * pitch <= m.printableHeight) return pitch;
    return std::max<int32_t>((m.printableHeight - 100) / 6, 40);
}

QFont PageFont(const PrintPageMetrics& m) {
    QFont font("Arial");
    font.setPixelSize(std::max(m.dpiY / 10, 6));
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

QString PrintCaption(const QString& firstLead, const QString& secondLead) {
    return "Leads: " + firstLead + " & " + secondLead +
           "      Vantrel, a teaching simulator: this ECG comes from a heart model, not from a patient.";
}

int PlanPrintedStrips(const FrozenEcg& frozen, const PrintPageMetrics& m, PrintedStrip strips[6]) {
    const int32_t pitch = StripPitch(m);
    int count = 0;
    auto add = [&](int32_t position) {
        PrintedStrip& s = strips[count];
        s.position = position;
        s.top = 100 + count * pitch;
        s.bottom = s.top + pitch - 20;
        ++count;
    };
    for (int i = 0; i < 5 && frozen.PrintSlot(i) >= 1; ++i) add(frozen.PrintSlot(i));
    if (count < 6 && frozen.FrozenPosition() >= 1) add(frozen.FrozenPosition());
    return count;
}

void DrawEcgPrintPage(QPainter& p, const FrozenEcg& frozen, const PrintPageMetrics& m, const QString& caption) {
    const EcgStrip& strip = frozen.Strip();
    const int32_t stripLeft = strip.StripLeft();
    const int32_t stripRight = static_cast<int32_t>(0.9 * m.physicalWidth);
    const int32_t gain = m.dpiY / 12;
    const float step = static_cast<float>(m.dpiX) * 25.0f / 5080.0f;  // 25 mm/s
    const QFont font = PageFont(m);

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    // A line a little over a tenth of a millimetre wide, so that the traces print dark enough.
    const QPen tracePen(Qt::black, std::max(1, m.dpiX / 200));
    PrintedStrip strips[6];
    const int count = PlanPrintedStrips(frozen, m, strips);
    for (int i = 0; i < count; ++i) {
        const int32_t g = strips[i].top;
        const int32_t f = strips[i].bottom;
        p.setPen(tracePen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(0, g), QPoint(stripLeft + stripRight - 1, f - 1)));
        const int32_t baseline[2] = {g + static_cast<int32_t>(0.45 * (f - g)), g + static_cast<int32_t>(0.8 * (f - g))};
        int32_t j = FirstFrozenSample(strips[i].position, static_cast<int32_t>(static_cast<float>(stripRight - stripLeft) / step));
        p.drawText(QRect(12, g + 20, m.dpiX * 2, font.pixelSize() * 3 / 2), Qt::AlignLeft | Qt::AlignTop,
                   FrozenEcg::TimeLabel(j));
        FrozenTracePen pen(stripLeft, stripRight, step, gain);
        const EcgSample& first = j < kRingSamples ? frozen.Record().frozenRing[j] : EcgSample{};
        for (int t = 0; t < 2; ++t) pen.Segment(p, LeadValue(first, strip.LeadOfTrace(t)), baseline[t], g, f, true, t + 1);
        while (j < kRingSamples && pen.PenX() < static_cast<float>(stripRight - 4)) {
            const EcgSample& s = frozen.Record().frozenRing[j];
            for (int t = 0; t < 2; ++t) pen.Segment(p, LeadValue(s, strip.LeadOfTrace(t)), baseline[t], g, f, false, t + 1);
            pen.Advance();
            ++j;
        }
    }
    // The calipers were set on the strip on show: they go on its printed strip, at the page's
    // scale, with the interval measured on the screen.
    if (count > 0 && strips[count - 1].position == frozen.FrozenPosition() && frozen.Caliper1X() + frozen.Caliper2X() != 0) {
        const PrintedStrip& shown = strips[count - 1];
        const float scale = step / strip.Step();
        auto pageX = [&](int32_t x) { return stripLeft + static_cast<int32_t>(static_cast<float>(x - stripLeft) * scale); };
        QPen caliperPen(QColor(64, 64, 255), std::max(1, m.dpiX / 200), Qt::DotLine);
        p.setPen(caliperPen);
        for (int32_t x : {frozen.Caliper1X(), frozen.Caliper2X()})
            if (x != 0) p.drawLine(pageX(x), shown.top, pageX(x), shown.bottom - 1);
        if (frozen.Caliper1X() != 0 && frozen.Caliper2X() != 0) {
            const int32_t ms = FrozenEcg::CaliperMs(frozen.Caliper1X(), frozen.Caliper2X(), strip.Step());
            p.setPen(Qt::black);
            p.drawText(QRect(stripLeft + m.dpiX, shown.top + 20, m.dpiX * 4, font.pixelSize() * 3 / 2),
                       Qt::AlignLeft | Qt::AlignTop,
                       FrozenEcg::CaliperMsText(ms).trimmed() + "  " + FrozenEcg::CaliperRateText(ms));
        }
    }
    p.setPen(Qt::black);
    p.drawText(QRect(0, m.dpiY / 20, m.physicalWidth, font.pixelSize() * 3 / 2), Qt::AlignLeft | Qt::AlignTop, caption);
    p.restore();
}

}  // namespace vantrel
