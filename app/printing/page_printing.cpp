#include "app/printing/page_printing.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "display/ui/ecg_print_page.h"
#include "display/ui/frozen_ecg.h"
#include "display/ui/twelve_lead_report.h"

namespace vantrel {

void SetUpPdfPrinter(QPrinter& printer, const QString& pdfPath, bool landscape) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setResolution(600);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

bool PrintFrozenPage(QPrinter& printer, const FrozenEcg& frozen, const QString& caption) {
    QPainter p;
    if (!p.begin(&printer)) return false;
    PrintPageMetrics metrics;
    metrics.dpiX = printer.logicalDpiX();
    metrics.dpiY = printer.logicalDpiY();
    metrics.physicalWidth = printer.pageLayout().fullRectPixels(printer.resolution()).width();
    metrics.printableHeight = printer.height();
    DrawEcgPrintPage(p, frozen, metrics, caption);
    return p.end();
}

bool PrintTwelveLeadReport(QPrinter& printer, const TwelveLeadReport& report) {
    QPainter p;
    if (!p.begin(&printer)) return false;
    DrawTwelveLeadReport(p, QRect(0, 0, printer.width(), printer.height()), printer.logicalDpiX(),
                         printer.logicalDpiY(), report);
    return p.end();
}

}  // namespace vantrel
