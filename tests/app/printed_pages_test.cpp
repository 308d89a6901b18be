// The printed pages as PDF files, read back the way a user would see them: the page of frozen
// strips (six strips where the page puts them, the caption) and the 12-lead report (5 mm squares
// at the page's scale, the thirteen traces on their rows and columns).  The files are rendered
// with pdftoppm and read with pdftotext (poppler); without them the tests are skipped.
#include <QImage>
#include <QPrinter>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../scratch_directory.h"
#include "app/printing/page_printing.h"
#include "app/printing/strip_print_queue.h"
#include "display/ui/ecg_print_page.h"
#include "display/ui/ecg_strip.h"
#include "display/ui/frozen_ecg.h"
#include "display/ui/twelve_lead_report.h"

namespace vantrel {
namespace {

constexpr double kMarginMm = 10;  // the PDF printer's margins
constexpr int kDpi = 600;         // its resolution

bool HavePoppler() { return std::system("pdftoppm -v > /dev/null 2>&1") == 0; }

// Renders the first page at `dpi` into an image.
QImage Render(const std::filesystem::path& pdf, int dpi) {
    const std::filesystem::path stem = pdf.parent_path() / "page";
    const std::string command = "pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" + pdf.string() + "' '" +
                                stem.string() + "'";
    if (std::system(command.c_str()) != 0) return QImage();
    return QImage(QString::fromStdString(stem.string() + ".png")).convertToFormat(QImage::Format_RGB32);
}

std::string PdfText(const std::filesystem::path& pdf) {
    const std::filesystem::path text = pdf.parent_path() / "page.txt";
    const std::string command = "pdftotext '" + pdf.string() + "' '" + text.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(text);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

bool Dark(QColor c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }

// Device pixels of the printer to pixels of a rendering at `dpi`, from the page's corner.
double ToRendered(double device, int dpi) { return (kMarginMm / 25.4 + device / kDpi) * dpi; }

TEST(PrintedPagesTest, PageOfSixStripsWithTheCaption) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftoppm is not installed";
    const auto dir = testing::ScratchDirectory("vantrel-printed-");
    auto live = std::make_unique<EcgDisplay>();
    auto record = std::make_unique<FrozenRecord>();
    // Lead I at 31 units (X = 40) everywhere: each strip shows a flat line above its first baseline.
    for (EcgSample& s : record->frozenRing) s.bytes[0] = 40;
    EcgStrip strip(*live);
    strip.SetLayout(1366, 736);
    strip.SetLeftEdge(true);
    FrozenEcg frozen(*record, strip);
    frozen.SetFrozenPosition(60);
    int32_t count = 0, offset = 0;
    for (int press = 0; press < 5; ++press) {
        ASSERT_FALSE(PressPrintStrip(frozen, count, offset));
        frozen.SetFrozenPosition(offset);
    }
    ASSERT_TRUE(PressPrintStrip(frozen, count, offset));

    const auto pdf = dir / "strips.pdf";
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, QString::fromStdString(pdf.string()), false);
    ASSERT_TRUE(PrintFrozenPage(printer, frozen, PrintCaption("I", "II")));

    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Leads: I & II"), std::string::npos) << text;
    EXPECT_NE(text.find("not from a patient"), std::string::npos) << text;

    constexpr int kRenderDpi = 100;
    const QImage page = Render(pdf, kRenderDpi);
    ASSERT_FALSE(page.isNull());
    PrintPageMetrics metrics;
    metrics.dpiX = metrics.dpiY = kDpi;
    metrics.physicalWidth = printer.pageLayout().fullRectPixels(kDpi).width();
    metrics.printableHeight = printer.height();
    PrintedStrip strips[6];
    ASSERT_EQ(PlanPrintedStrips(frozen, metrics, strips), 6);
    const int midX = static_cast<int>(ToRendered(metrics.physicalWidth * 0.45, kRenderDpi));
    auto darkNear = [&](int x, double y) {
        for (int dy = -1; dy <= 1; ++dy)
            if (Dark(page.pixelColor(x, static_cast<int>(std::lround(y)) + dy))) return true;
        return false;
    };
    for (int i = 0; i < 6; ++i) {
        const double top = ToRendered(strips[i].top, kRenderDpi);
        const double bottom = ToRendered(strips[i].bottom - 1, kRenderDpi);
        EXPECT_TRUE(darkNear(midX, top)) << "top of strip " << i;
        EXPECT_TRUE(darkNear(midX, bottom)) << "bottom of strip " << i;
        // Lead I above its baseline at 45 % of the strip: 31 units at a gain of 600 / 12.
        const int32_t g = strips[i].top, f = strips[i].bottom;
        const double lead = ToRendered(g + static_cast<int32_t>(0.45 * (f - g)) - 31 * 50 / 16, kRenderDpi);
        EXPECT_TRUE(darkNear(midX, lead)) << "lead I of strip " << i;
        // Nothing between the strip's outline and the trace.
        EXPECT_FALSE(darkNear(midX, (top + lead) / 2)) << "strip " << i;
    }
    // Below the sixth strip the page is blank.
    EXPECT_FALSE(darkNear(midX, ToRendered(strips[5].bottom + 60, kRenderDpi)));
}

TEST(PrintedPagesTest, TwelveLeadReportOnFiveMillimetreSquares) {
    if (!HavePoppler()) GTEST_SKIP() << "pdftoppm is not installed";
    const auto dir = testing::ScratchDirectory("vantrel-report-");
    TwelveLeadReport report;
    report.samples.resize(kReportSamples);
    for (EcgSample& s : report.samples) {
        s.bytes[0] = 40;  // X: every lead a different flat level
        for (int i = 7; i <= 12; ++i) s.bytes[i] = -128;
    }
    report.modelName = "Test heart";
    report.when = "2026-12-10 12:00";
    report.rateBpm = 75;
    report.qtMs = 380;
    report.qtcMs = 425;
    const auto pdf = dir / "report.pdf";
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, QString::fromStdString(pdf.string()), true);
    ASSERT_TRUE(PrintTwelveLeadReport(printer, report));

    const std::string text = PdfText(pdf);
    for (const char* expected : {"Test heart", "Rate 75 bpm", "QTc 425 ms", "PR -", "25 mm/s", "10 mm/mV", "aVR", "V6"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;

    constexpr int kRenderDpi = 254;  // 10 pixels per millimetre
    const QImage page = Render(pdf, kRenderDpi);
    ASSERT_FALSE(page.isNull());
    const ReportLayout layout = PlanTwelveLeadReport(QRect(0, 0, printer.width(), printer.height()), kDpi, kDpi);
    auto x = [&](double device) { return static_cast<int>(std::lround(ToRendered(device, kRenderDpi))); };

    // Major lines across the rhythm row, half a square below its top: every 50 pixels.
    const int scanY = x(layout.grid.top() + 32.5 * layout.pixelsPerMmY);
    std::vector<int> lines;
    for (int px = x(layout.grid.left()) - 3; px <= x(layout.grid.right()) + 3; ++px) {
        const QColor c = page.pixelColor(px, scanY);
        const bool major = c.red() > 150 && c.green() < 160 && c.blue() < 160;
        if (major && (lines.empty() || px - lines.back() > 3)) lines.push_back(px);
    }
    ASSERT_EQ(lines.size(), 53u);  // 260 mm of paper
    for (size_t k = 1; k < lines.size(); ++k) EXPECT_NEAR(lines[k] - lines[k - 1], 50, 1) << k;
    // Minor lines between them, every 10 pixels.
    int minor = 0;
    for (int px = lines[10] + 2; px < lines[11] - 2; ++px) {
        const QColor c = page.pixelColor(px, scanY);
        if (c.red() > 200 && c.green() < 235 && c.green() > 140) ++minor, px += 3;
    }
    EXPECT_EQ(minor, 4);

    // The thirteen traces: each lead's level (0.125 mm per unit) in the middle of its place.
    auto traceAt = [&](int centreX, double baselineDevice, int32_t value) {
        const int y = x(baselineDevice - value * 0.125 * layout.pixelsPerMmY);
        for (int dy = -2; dy <= 2; ++dy)
            if (Dark(page.pixelColor(centreX, y + dy))) return true;
        return false;
    };
    const double columnWidth = 62.5 * layout.pixelsPerMmX;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            const int lead = kReportLeads[row][column];
            const int32_t value = LeadValue(report.samples[0], lead);
            const int centre = x(layout.traceLeft + (column + 0.5) * columnWidth);
            EXPECT_TRUE(traceAt(centre, layout.rowBaseline[row], value)) << LeadTable[lead];
            if (value > 8 || value < -8) {
                EXPECT_FALSE(traceAt(centre, layout.rowBaseline[row], 0)) << LeadTable[lead] << " off its baseline";
            }
        }
    for (double part : {0.05, 0.5, 0.95}) {
        const int centre = x(layout.traceLeft + part * 250 * layout.pixelsPerMmX);
        EXPECT_TRUE(traceAt(centre, layout.rowBaseline[3], LeadValue(report.samples[0], kRhythmLead))) << part;
    }
    // The calibration pulse: 10 mm above the first row's baseline.
    EXPECT_TRUE(traceAt(x(layout.grid.left() + 5.5 * layout.pixelsPerMmX), layout.rowBaseline[0], 80));
}

}  // namespace
}  // namespace vantrel
