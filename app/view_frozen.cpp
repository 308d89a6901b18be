// The view's frozen-ECG screen and its printing: freezing, the clicks in the trend and the strip,
// the moves, the print queue and the print jobs, the 12-lead report and the recording of the
// frozen stretch.  The drawing itself is display/ui/frozen_ecg, ecg_print_page and
// twelve_lead_report.
#include <QDateTime>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <mutex>

#include "app/command_table.h"
#include "app/dialogs/premature_panel.h"
#include "app/printing/frozen_recording.h"
#include "app/printing/page_printing.h"
#include "app/printing/strip_print_queue.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"
#include "app/ui_text.h"
#include "app/view_controls.h"
#include "display/ui/ecg_print_page.h"
#include "display/ui/rate_trend.h"
#include "display/ui/twelve_lead_report.h"
#include "engine/ecg_intervals.h"

namespace vantrel {

void CCVantrelView::PaintFrozenScreen(QPainter& p, bool newLayout) {
    if (!newLayout) {
        doc_.frozenEcg.DrawFrozen(p, -1, layout_.layoutWidth, layout_.layoutHeight, font());
        return;
    }
    // A new screen shows the trend with an empty strip, until a click in the trend or a move
    // chooses a stretch.
    p.fillRect(canvas_.rect(), Qt::black);
    doc_.strip.SetLeftEdge(true);
    doc_.strip.DrawBackground(p);
    DrawRateTrend(p, doc_.frozen.frozenRate, layout_.layoutWidth, doc_.strip.StripTop(), font());
    doc_.frozenEcg.ClearCalipers();
    prematurePanel_->hide();
    LayOutControls();
    ShowEcgScreenControls();
    if (doc_.commentsCaption) doc_.commentsCaption->hide();
    // The panels left open on the screen before move off the trend and the frozen traces.
    KeepPanelsClear();
    if (RunMode() < 0) SetRunMode(1);
}

void CCVantrelView::Freeze() {
    if (displayMode_ == kScreenFrozen) {
        // Already shown: a new copy, drawn at the position last drawn.
        PrintPending();
        pictureMouse_->DropCursor();
    } else {
        doc_.frozenEcg.SetFrozenPosition(0);
        SwitchScreen(kScreenFrozen);
    }
    doc_.strip.SetLeftEdge(true);  // the frozen screen and its page use the full width
    {
        // Under the model lock the copy is untorn and its newest sample is that of the tick
        // count read with it; the clock waits the time of one copy.
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        doc_.frozen.Freeze(doc_.display, doc_.rates);
        doc_.frozen.lastTick = doc_.heart.tickCount;
        // One sample per tick since the start: the ring is full after 15 minutes (and after the
        // tick count has wrapped, months later).
        const int32_t ticks = doc_.heart.tickCount;
        doc_.frozen.samplesKept = ticks >= 0 && ticks < kRingSamples ? ticks : kRingSamples;
    }
    MeasuredIntervals(frozenPrMs_, frozenQtMs_);
    frozenOffset_ = 0;
    Invalidate();
}

void CCVantrelView::DrawFrozenAt(int32_t position) {
    QPainter p(&canvas_);
    doc_.frozenEcg.DrawFrozen(p, position, layout_.layoutWidth, layout_.layoutHeight, font());
    update();
}

void CCVantrelView::MoveFrozen(bool earlier) {
    if (displayMode_ != kScreenFrozen) return;
    const int32_t d = FrozenEcg::MoveStepSeconds(doc_.strip.Step());
    if (earlier) {
        if (frozenOffset_ >= kFrozenSeconds) return;
        frozenOffset_ += d;
    } else {
        if (frozenOffset_ < d) return;
        frozenOffset_ -= d;
    }
    doc_.frozenEcg.ClearCalipers();
    DrawFrozenAt(frozenOffset_);
}

bool CCVantrelView::OnFrozenClick(const QPoint& at) {
    if (const std::optional<int32_t> a = TrendPositionAt(at.x(), at.y(), doc_.strip.StripTop())) {
        frozenOffset_ = *a;
        doc_.frozenEcg.ClearCalipers();
        DrawFrozenAt(*a);
        return true;
    }
    if (doc_.frozenEcg.SetCalipers(at.x(), at.y())) {
        Invalidate();
        return true;
    }
    return false;
}

void CCVantrelView::PrintStrip() {
    if (PressPrintStrip(doc_.frozenEcg, printCount_, frozenOffset_)) {
        StartPrintJob();
        return;
    }
    // The calipers measured the strip that was on show; the next one starts without them.
    doc_.frozenEcg.ClearCalipers();
    DrawFrozenAt(frozenOffset_);
}

void CCVantrelView::PrintPending() {
    if (printCount_ == 0) return;
    printCount_ = 0;
    StartPrintJob();
}

QString CCVantrelView::LeadName(int list) const {
    return leadList_[list] ? leadList_[list]->currentText() : QString();
}

bool CCVantrelView::ChoosePrinter(bool landscape) {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!printTarget_.isEmpty()) {
        SetUpPdfPrinter(*printer_, printTarget_, landscape);
        return true;
    }
    printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(printer_.get(), this);
    return dialog.exec() == QDialog::Accepted;
}

void CCVantrelView::ReportPrintResult(bool printed) {
    lastPrintFailed_ = !printed;
    if (!printed && printTarget_.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Vantrel"), QString::fromLatin1(kPrintJobFailed));
}

void CCVantrelView::StartPrintJob() {
    if (!ChoosePrinter(false)) return;
    ReportPrintResult(PrintFrozenPage(*printer_, doc_.frozenEcg, PrintCaption(LeadName(0), LeadName(1))));
}

TwelveLeadReport CCVantrelView::ReportData() {
    TwelveLeadReport report;
    report.samples.resize(kReportSamples);
    int32_t prMs = -1;
    int32_t qtMs = -1;
    if (displayMode_ == kScreenFrozen) {
        // The 10 s ending where the strip on show ends; the ring's last slot holds its oldest
        // sample, so a stretch never reaches into it.
        const int32_t end = std::min(FirstFrozenSample(doc_.frozenEcg.FrozenPosition(), 0), kRingSamples - 1);
        const int32_t begin = std::max(end - kReportSamples, 0);
        report.samples.assign(doc_.frozen.frozenRing + begin, doc_.frozen.frozenRing + end);
        report.stretch = QStringLiteral("Frozen ECG: the 10 s ending %1 s before the freeze").arg(doc_.frozenEcg.FrozenPosition());
        if (doc_.frozenEcg.FrozenPosition() < 10) {
            prMs = frozenPrMs_;
            qtMs = frozenQtMs_;
        }
    } else {
        const int32_t end = doc_.display.WriteIndex();
        for (int32_t k = 0; k < kReportSamples; ++k)
            report.samples[k] = doc_.display.liveRing[(end - kReportSamples + k + kRingSamples) % kRingSamples];
        report.stretch = QStringLiteral("The last 10 s of the run");
        MeasuredIntervals(prMs, qtMs);
    }
    const StretchMeasurement measured = MeasureStretch(report.samples.data(), static_cast<int32_t>(report.samples.size()));
    report.rateBpm = measured.rateBpm;
    report.qrsMs = measured.qrsMs;
    report.prMs = prMs;
    report.qtMs = qtMs;
    report.qtcMs = CorrectedQt(qtMs, measured.rateBpm);
    report.modelName = FromWestern(doc_.modelTitle);
    report.when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return report;
}

void CCVantrelView::MeasuredIntervals(int32_t& prMs, int32_t& qtMs) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    // The engine's last closed complex, within the ranges its labels show.
    prMs = doc_.heart.prInterval >= 0 && doc_.heart.prInterval <= 499 ? doc_.heart.prInterval : -1;
    qtMs = doc_.heart.qtInterval >= 150 && doc_.heart.qtInterval <= 799 ? doc_.heart.qtInterval : -1;
}

void CCVantrelView::PrintReport() {
    const TwelveLeadReport report = ReportData();
    if (!ChoosePrinter(true)) return;
    ReportPrintResult(PrintTwelveLeadReport(*printer_, report));
}

void CCVantrelView::RecordEcgFile() {
    // A save dialog that accepts a new name: a recording is a new file.
    QFileDialog dialog(this, QStringLiteral("Select a ECG file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString edf = QStringLiteral("EDF+ recording (*.edf)");
    const QString ecg = QStringLiteral("ECG file (*.ecg)");
    dialog.setNameFilters({edf, ecg});
    dialog.setDefaultSuffix(QStringLiteral("edf"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, ecg](const QString& filter) { dialog.setDefaultSuffix(filter == ecg ? "ecg" : "edf"); });
    dialog.selectFile(QStringLiteral("recording.edf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().first();
    std::string error;
    if (RecordFrozenStretch(doc_.frozen, doc_.actions, std::filesystem::path(file.toStdU16String()), doc_.modelTitle,
                            error)) {
        ShowStatus(QStringLiteral("ECG recorded in %1").arg(file));
    } else {
        QMessageBox::warning(this, QStringLiteral("Record ECG file"), QString::fromStdString(error));
    }
}

bool CCVantrelView::ScriptFrozenPage(const QString& pdfPath) {
    // Six strips, each 7 s after the previous one, the last ending 1 s before the freeze.
    printTarget_ = pdfPath;
    lastPrintFailed_ = true;
    Execute(kCmdFrozenScreen);
    frozenOffset_ = 36;
    DrawFrozenAt(frozenOffset_);
    for (int press = 0; press < 6; ++press) PrintStrip();
    printTarget_.clear();
    return !lastPrintFailed_;
}

bool CCVantrelView::ScriptReport(const QString& pdfPath) {
    printTarget_ = pdfPath;
    lastPrintFailed_ = true;
    PrintReport();
    printTarget_.clear();
    return !lastPrintFailed_;
}

}  // namespace vantrel
