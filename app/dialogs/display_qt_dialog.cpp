#include "app/dialogs/display_qt_dialog.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <vector>
#include <mutex>

#include "app/control_flow.h"
#include "app/dialogs/screen_room.h"
#include "app/ui_text.h"
#include "display/ui/interval_plot.h"

namespace vantrel {

namespace {

// Dialog units of the dialog's font in pixels: 1.5 horizontally, 1.625 vertically.
int Dx(int units) { return units * 3 / 2; }
int Dy(int units) { return units * 13 / 8; }

constexpr int kRowUnits = 254;  // y of the bottom row of controls, dialog units

}  // namespace

QRect CDisplayQT::InitialFrame() { return QRect(Dx(8), Dy(7), Dx(515), Dy(239)); }
QSize CDisplayQT::InitialSize() { return QSize(Dx(531), Dy(272)); }

CDisplayQT::CDisplayQT(CCoeur& heart, QWidget* parent) : QDialog(parent), heart_(heart) {
    setObjectName("DisplayQT");
    setWindowTitle(Tr("IDD_DISPLAYQT", "PR (red) & QT (blue) f(RR)"));
    currentBox_ = new QCheckBox(Tr("IDC_SHOWBUFFER", "Show current data"), this);
    memoryBox_ = new QCheckBox(Tr("IDC_SHOWMEMORY", "Show data in memory"), this);
    saveButton_ = new QPushButton(Tr("IDC_SAVEQT", "Save buffer in memory"), this);
    clearButton_ = new QPushButton(Tr("IDC_ERASEQT", "Clear buffer"), this);
    exitButton_ = new QPushButton(Tr("IDC_EXIT", "EXIT"), this);
    currentBox_->setObjectName("ShowCurrent");
    memoryBox_->setObjectName("ShowMemory");
    saveButton_->setObjectName("SaveBuffer");
    clearButton_->setObjectName("ClearBuffer");
    exitButton_->setObjectName("Exit");
    currentBox_->setChecked(true);
    memoryBox_->setChecked(true);
    exitButton_->setDefault(true);
    connect(currentBox_, &QCheckBox::clicked, this, &CDisplayQT::ReadCheckBoxes);
    connect(memoryBox_, &QCheckBox::clicked, this, &CDisplayQT::ReadCheckBoxes);
    connect(saveButton_, &QPushButton::clicked, this, &CDisplayQT::SaveBuffer);
    connect(clearButton_, &QPushButton::clicked, this, &CDisplayQT::ClearBuffer);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);
    // The simulation goes on underneath: new beats show up once a second.
    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    refresh->start(1000);
    setMinimumSize(InitialSize() * 3 / 4);
    resize(WithinScreen(this, InitialSize()));
    LayOutRows();  // a hidden dialog gets its resize event only when shown
}

void CDisplayQT::ReadCheckBoxes() {
    showCurrent_ = currentBox_->isChecked() ? 1 : 0;
    showMemory_ = memoryBox_->isChecked() ? 1 : 0;
    update();
}

void CDisplayQT::SaveBuffer() {
    std::lock_guard<std::mutex> guard(heart_.lock);
    std::copy_n(heart_.intervalTable, kIntervalTableSize, heart_.referenceTable);
}

void CDisplayQT::ClearBuffer() {
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        std::fill_n(heart_.intervalTable, kIntervalTableSize, IntervalEntry{});
    }
    update();
}

void CDisplayQT::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOutRows();
}

void CDisplayQT::LayOutRows() {
    // The bottom row keeps its distance from the bottom edge, its controls at their places of the
    // first size scaled to the width; where that would put them on one another (a narrow dialog,
    // longer texts), they go side by side at their own widths over two lines.  The plot takes the
    // rest (paintEvent).
    const int rowY = height() - (InitialSize().height() - Dy(kRowUnits));
    const double sx = static_cast<double>(width()) / InitialSize().width();
    auto x = [sx](int units) { return static_cast<int>(Dx(units) * sx); };
    QWidget* const controls[] = {currentBox_, memoryBox_, saveButton_, clearButton_, exitButton_};
    const int placeUnits[] = {2, 112, 230, 359, 469};
    const int widthUnits[] = {105, 110, 120, 100, 55};
    const int dy[] = {0, Dy(2), Dy(1), Dy(1), Dy(1)};
    const int heights[] = {Dy(12), Dy(12), Dy(14), Dy(14), Dy(14)};
    constexpr int kGap = 6;
    std::vector<FlowItem> items;
    bool scaledFit = true;
    for (size_t i = 0; i < std::size(controls); ++i) {
        items.push_back({std::max(Dx(widthUnits[i]), controls[i]->sizeHint().width()), 0, false});
        const int end = x(placeUnits[i]) + items[i].width + kGap;
        scaledFit = scaledFit && end <= (i + 1 < std::size(controls) ? x(placeUnits[i + 1]) : width());
    }
    if (scaledFit) {
        for (size_t i = 0; i < std::size(controls); ++i)
            controls[i]->setGeometry(x(placeUnits[i]), rowY + dy[i], items[i].width, heights[i]);
        rowsTop_ = rowY;
        return;
    }
    const int lineStep = Dy(17);
    const std::vector<FlowLine> lines(2, FlowLine{x(2), width() - x(2)});
    const FlowResult flow = FlowControls(items, lines, kGap);
    rowsTop_ = rowY - (flow.lineCount - 1) * lineStep;
    for (size_t i = 0; i < std::size(controls); ++i) {
        const FlowPlacement& at = flow.items[i];
        controls[i]->setGeometry(at.x, rowsTop_ + at.line * lineStep + dy[i], at.width, heights[i]);
    }
}

void CDisplayQT::paintEvent(QPaintEvent*) {
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        std::copy_n(heart_.intervalTable, kIntervalTableSize, current_.begin());
        std::copy_n(heart_.referenceTable, kIntervalTableSize, reference_.begin());
    }
    QPainter painter(this);
    // The plot's own arithmetic is that of the first size; a larger dialog scales it.
    const QSize initial = InitialSize();
    // Vertically, the plot's frame ends as far above the rows of controls as at the first size.
    const double sx = static_cast<double>(width()) / initial.width();
    const double sy = static_cast<double>(rowsTop_ - (Dy(kRowUnits) - InitialFrame().bottom() - 1)) /
                      (InitialFrame().bottom() + 1);
    painter.scale(sx, sy);
    IntervalPlotData data;
    data.current = current_.data();
    data.reference = reference_.data();
    data.showCurrent = showCurrent_ != 0;
    data.showReference = showMemory_ != 0;
    DrawIntervalPlot(painter, InitialFrame(), data);
}

}  // namespace vantrel
