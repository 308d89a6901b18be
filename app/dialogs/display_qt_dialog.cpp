#include "app/dialogs/display_qt_dialog.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <mutex>

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
    resize(InitialSize());
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
    // The bottom row keeps its distance from the bottom edge; the plot takes the rest.
    const int rowY = height() - (InitialSize().height() - Dy(kRowUnits));
    const double sx = static_cast<double>(width()) / InitialSize().width();
    auto x = [sx](int units) { return static_cast<int>(Dx(units) * sx); };
    currentBox_->setGeometry(x(2), rowY, Dx(105), Dy(12));
    memoryBox_->setGeometry(x(112), rowY + Dy(2), Dx(110), Dy(12));
    saveButton_->setGeometry(x(230), rowY + Dy(1), Dx(120), Dy(14));
    clearButton_->setGeometry(x(359), rowY + Dy(1), Dx(100), Dy(14));
    exitButton_->setGeometry(x(469), rowY + Dy(1), Dx(55), Dy(14));
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
    const double sx = static_cast<double>(width()) / initial.width();
    const double sy = static_cast<double>(height()) / initial.height();
    painter.scale(sx, sy);
    IntervalPlotData data;
    data.current = current_.data();
    data.reference = reference_.data();
    data.showCurrent = showCurrent_ != 0;
    data.showReference = showMemory_ != 0;
    DrawIntervalPlot(painter, InitialFrame(), data);
}

}  // namespace vantrel
