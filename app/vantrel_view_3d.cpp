// The view's side of the 3D heart picture: the azimuth and elevation scroll bars, the chamber
// check boxes, the region computation handed from the clock to the interface thread, the vector
// loop of step-by-step mode, the arrest, and the PR/QT recording button and plot.
#include <QCheckBox>
#include <QComboBox>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <algorithm>
#include <mutex>

#include "app/dialogs/display_qt_dialog.h"
#include "app/ui_text.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"
#include "display/ui/queued_wake.h"
#include "engine/cell_automaton.h"

namespace vantrel {

void CCVantrelView::Create3DControls() {
    azimuthBar_ = new QScrollBar(Qt::Horizontal, this);
    elevationBar_ = new QScrollBar(Qt::Vertical, this);
    azimuthBar_->setObjectName("AzimuthBar");
    elevationBar_->setObjectName("ElevationBar");
    azimuthBar_->setRange(0, kAzimuthBarMax);
    azimuthBar_->setValue(kInitialAzimuth + kAzimuthBarOffset);
    elevationBar_->setRange(0, kElevationBarMax);
    elevationBar_->setValue(kInitialElevation + kElevationBarOffset);
    for (QScrollBar* bar : {azimuthBar_, elevationBar_}) {
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        // Every move, by line, page or thumb, turns the heart at once.
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            picture3d_->SetAngles(azimuthBar_->value() - kAzimuthBarOffset,
                                  elevationBar_->value() - kElevationBarOffset);
            RedrawHeart();
        });
    }
    const char* chamberKeys[4][2] = {{"ID_RA", "RA"}, {"ID_LA", "LA"}, {"ID_RV", "RV"}, {"ID_LV", "LV"}};
    for (int i = 0; i < 4; ++i) {
        chamberBox_[i] = new QCheckBox(Tr(chamberKeys[i][0], chamberKeys[i][1]), this);
        chamberBox_[i]->setObjectName(QStringLiteral("Chamber%1").arg(chamberKeys[i][1]));
        chamberBox_[i]->setChecked(true);
        chamberBox_[i]->setFocusPolicy(Qt::NoFocus);
        QPalette pal = chamberBox_[i]->palette();
        pal.setColor(QPalette::WindowText, QColor(64, 255, 64));
        chamberBox_[i]->setPalette(pal);
        chamberBox_[i]->hide();
        connect(chamberBox_[i], &QCheckBox::clicked, this, [this] { RedrawHeart(); });
    }
}

void CCVantrelView::LayOut3DControls(int topOfRows) {
    // Under the picture, above the row of controls: the chamber boxes, then the azimuth bar; the
    // elevation bar stands at the right edge of the picture, below the orientation mark and its
    // scale, and ends above the chamber boxes (higher on a low window).
    const int half = layout_.layoutWidth / 2;
    for (int i = 0; i < 4; ++i) chamberBox_[i]->setGeometry(50 + i * 52, topOfRows - 46, 50, 20);
    // The bar ends short of the pacemaker panel's can, which shares this band when a mode is set.
    const int barRight = std::min(half - 40, 5 * layout_.layoutWidth / 12 - 8);
    azimuthBar_->setGeometry(50, topOfRows - 22, std::max(barRight - 50, 60), 16);
    const int bottom = topOfRows - 52;
    const int top = std::min(310, bottom - 40);
    elevationBar_->setGeometry(half - 44, top, 16, bottom - top);
}

void CCVantrelView::Show3DControls(bool shown) {
    for (QCheckBox* box : chamberBox_) box->setVisible(shown);
    azimuthBar_->setVisible(shown);
    elevationBar_->setVisible(shown);
}

void CCVantrelView::Sync3DLayout() {
    // The same rectangle as the flat picture's: clear of the tone column, the colour keys and the
    // rows of controls below.
    const QRect pictureRect = ComputeViewRects(layout_, kScreenHeart).picture;
    const qreal ratio = canvas_.devicePixelRatio();
    if (picture3d_->LaidOutFor(layout_.layoutWidth, layout_.layoutHeight, pictureRect, ratio)) return;
    picture3d_->SetLayout(layout_.layoutWidth, layout_.layoutHeight, layout_.displayScale, pictureRect, ratio);
}

void CCVantrelView::ShowHeart3D() {
    heart3d_ = true;
    commentRefreshPending_ = 1;
    picture3d_->ResetVectorLoop();
    SwitchScreen(kScreenHeart);
}

void CCVantrelView::StepHooks::OnRedrawBeat() {
    // Clock thread: only the countdown moves here; the interface thread hands the regions to a
    // worker, so neither the clock nor the interface waits for them.
    if (!view_.picture3d_->OnRedrawBeat()) return;
    view_.regionStartWake_->Wake();
}

void CCVantrelView::StepHooks::OnStepSample(const EcgSample& sample) {
    if (view_.displayMode_ != kScreenHeart || !view_.heart3d_ || view_.firstPaintPending_) return;
    QPainter p(&view_.canvas_);
    view_.update(view_.picture3d_->DrawVectorStep(p, sample));
}

bool CCVantrelView::PictureHost::LinkClicksOff() const {
    return view_.heart3d_ && view_.PictureStyle() == kStyleFullVolume && view_.doc_.linkClickFullVolume == 0;
}

int32_t CCVantrelView::PictureHost::HitCell3D(int32_t x, int32_t y) const {
    return view_.heart3d_ ? view_.picture3d_->HitCell(x, y) : -2;
}

int32_t CCVantrelView::PictureHost::HitLink3D(int32_t x, int32_t y) const {
    return view_.heart3d_ ? view_.picture3d_->HitLink(x, y) : -2;
}

void CCVantrelView::ShowStatus(const QString& text) {
    if (auto* frame = qobject_cast<QMainWindow*>(window())) frame->statusBar()->showMessage(text);
}

void CCVantrelView::DeclareArrest() {
    // The skeleton in 3D plays the arrest; the user is told how the heart can start again.
    const bool shown = displayMode_ == kScreenHeart && heart3d_ && PictureStyle() == kStyleSkeleton;
    if (!shown) {
        styleList_->setCurrentIndex(kStyleSkeleton);
        {
            std::lock_guard<std::mutex> guard(doc_.heart.lock);
            doc_.heart.pictureMode = kStyleSkeleton;
        }
        heart3d_ = true;
        SwitchScreen(kScreenHeart);
    }
    ShowStatus(ArrestMessage());
    emit commandStateChanged();
}

void CCVantrelView::ShockDuringArrest() {
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        CCoeur& heart = doc_.heart;
        if (heart.arrestState == 0) return;
        // The shock ends the arrest: the watch starts again from nothing, and the cells the
        // arrest held back may fire within their own escape period, so that a rhythm the shock
        // restores shows at once.  A heart that stays silent is declared arrested again.
        heart.arrestState = 0;
        heart.arrestAccumulator = 0;
        for (int32_t i = 0; i < heart.cellCount && i < kMaxCells; ++i) {
            CCell& cell = heart.cells[i];
            if (cell.IsInert()) continue;
            cell.escapeCounter = std::min(cell.escapeCounter, std::max(EscapeTicks(cell, heart.tone), 1));
        }
    }
    ShowStatus(Tr("ID_ARRESTSHOCK", "Cardioversion given: the speed command resumes the simulation."));
    RedrawHeart();
    emit commandStateChanged();
}

bool CCVantrelView::ArrestRefusesSpeed() {
    int32_t state = 0;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        state = doc_.heart.arrestState;
    }
    // Arrested, the simulation would stop again at the next redraw: say what starts it instead.
    if (state != 2) return false;
    ShowStatus(ArrestMessage());
    return true;
}

void CCVantrelView::ToggleRecordIntervals() {
    bool recording = false;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        doc_.heart.recordIntervals = doc_.heart.recordIntervals ? 0 : 1;
        recording = doc_.heart.recordIntervals != 0;
    }
    recordButton_->setText(recording ? Tr("ID_STOP", "Stop") : Tr("ID_RECORD", "Record"));
    emit commandStateChanged();
}

void CCVantrelView::ShowIntervalPlot() {
    CDisplayQT dialog(doc_.heart, this);
    dialog.exec();
}

}  // namespace vantrel
