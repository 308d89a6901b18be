#include "app/vantrel_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <mutex>

#include "app/command_table.h"
#include "app/dialogs/advanced_functions_dialog.h"
#include "app/dialogs/cell_dialog.h"
#include "app/dialogs/child_panel.h"
#include "app/dialogs/coupling_dialog.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/parameters_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/select_heart_dialog.h"
#include "app/dialogs/select_language_dialog.h"
#include "app/dialogs/setup_application_dialog.h"
#include "app/dialogs/stimulator_dialog.h"
#include "app/dialogs/therapy_confirm_dialog.h"
#include "app/comment_page.h"
#include "app/dialogs/model_comments_dialog.h"
#include "app/dialogs/welcome_dialog.h"
#include "app/engine_control.h"
#include "app/panel_placement.h"
#include "app/rate_monitor.h"
#include "app/settings/settings_file.h"
#include "app/tone_bar_log.h"
#include "app/ui_text.h"
#include "app/vantrel_doc.h"
#include "app/view_controls.h"
#include "app/view_events.h"
#include "engine/action_text.h"
#include "engine/autonomic_tone.h"
#include "model/windows1252.h"

namespace vantrel {

namespace {

constexpr int kRowHeight = 20;
constexpr int kSweepPeriodMs = 16;  // the strip is drawn about 60 times a second

constexpr const char* kSpeedEntries[] = {"12,5", "25", "50", "100"};

QLabel* StaticText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(64, 255, 64));
    label->setPalette(pal);
    return label;
}

}  // namespace

CCVantrelView::CCVantrelView(CCVantrelDoc& doc, const ScreenLayout& layout, QWidget* parent)
    : QWidget(parent), doc_(doc), tone_(doc.tonePanel), layout_(layout),
      canvas_(std::max(layout.layoutWidth, 1), std::max(layout.layoutHeight, 1), QImage::Format_RGB32),
      clock_(doc.heart, doc.display),
      picture_(std::make_unique<HeartPicture2D>(doc.heart, layout.layoutWidth, layout.layoutHeight)),
      picture3d_(std::make_unique<HeartPicture3D>(doc.heart, layout.layoutWidth, layout.layoutHeight,
                                                  layout.displayScale)),
      pictureMouse_(std::make_unique<HeartPictureMouse>(doc.heart, *picture_, pictureHost_)) {
    setObjectName("VantrelView");
    // The smallest view the layout is made for: the window cannot be made smaller, so that no
    // screen is shown cut.
    setMinimumSize(ScreenLayout::kMinViewWidth, ScreenLayout::kMinViewHeight);
    // The timer fires from now on; with runMode -1 it ticks nothing until the Welcome dialog
    // has closed.
    // Made before the clock starts: the clock thread only rings it (see StepHooks::OnRedrawBeat).
    regionStartWake_ = new QueuedWake([this] { picture3d_->StartRegionWork(this); }, this);
    clock_.SetHooks(&stepHooks_);
    clock_.Start();
    canvas_.fill(Qt::black);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

CCVantrelView::~CCVantrelView() {
    // The timer first, so that nothing is posted to a view that is going away.
    clock_.Stop();
    doc_.notifier.SetTarget(nullptr);
    if (doc_.view == this) doc_.view = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Start-up

void CCVantrelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first paint's initialisation runs just before the first paint, so that the controls it
    // creates are not created while painting.
    if (firstPaintPending_) FirstPaint();
}

void CCVantrelView::FirstPaint() {
    firstPaintPending_ = 0;
    // The layout of the size the window opened with (maximised).
    ApplyLayout(ScreenLayout::FromView(width(), height()));
    const int w = layout_.layoutWidth;
    const int h = layout_.layoutHeight;

    // 1. The view becomes known: from now on the engine's messages reach it.
    doc_.view = this;
    doc_.notifier.SetTarget(this);

    // 2, 3. Settings, then the language: its texts and the menu.
    settingsText_ = ReadSettings(doc_.SettingsPath());
    doc_.languageIndex = GetInt(settingsText_, "Language", 0);
    doc_.ApplyLanguage();
    emit languageApplied();

    // 4. The pacemaker dialog, hidden, with the saved values.
    pacemakerDialog_ = new CPACE(this);
    pacemakerDialog_->adjustSize();
    // Values outside the dialog's ranges come back as their defaults.
    const SettingsValues saved = SettingsFromText(settingsText_);
    PacemakerSettings pm = pacemakerDialog_->Fields();
    pm.avDelayMs = saved.pmAvDelay;
    pm.maxRateBpm = saved.pmMaxRate;
    pm.basicRateBpm = saved.pmRate;
    pm.vvDelayMs = saved.pmVvDelay;
    pm.atrialBlankingMs = saved.pmAtrialBlanking;
    pm.ventricularBlankingMs = saved.pmVentricularBlanking;
    pacemakerDialog_->SetFields(pm);
    pacemakerDialog_->hide();
    connect(pacemakerDialog_, &CPACE::applied, this, [this](const PacemakerSettings& fields) {
        EngineControl(doc_).SetupPacemaker(fields);
        doc_.notifier.Post(kMsgSyncPaint, 0, 0);
        CheckPacemakerLeads();
    });

    // 5. A language other than the first reloads the default model in that language.
    if (doc_.languageIndex > 0) {
        EngineControl(doc_).LoadModel("", false);
        if (doc_.notifier.EndRequested()) return;
    }

    // 6. The view's font and the strip's geometry.
    QFont viewFont("Arial");
    viewFont.setPixelSize(14);
    setFont(viewFont);
    doc_.strip.SetLayout(w, h);

    // 8. Sequence and drug lists.
    sequenceList_ = new CComboBoxR(this);
    drugList_ = new CComboBoxR(this);
    sequenceList_->setObjectName("SequenceList");
    drugList_->setObjectName("DrugList");
    for (CComboBoxR* list : {sequenceList_, drugList_}) {
        list->setFont(viewFont);
        list->setFocusPolicy(Qt::NoFocus);
        connect(list, &CComboBoxR::rightClicked, this, [this] { ShowWelcome(2); });
    }
    connect(drugList_, &QComboBox::activated, this, &CCVantrelView::OnDrugChosen);
    connect(sequenceList_, &QComboBox::activated, this, &CCVantrelView::OnSequenceChosen);

    // 9. The tone panel, then the hidden "PR=" and "QT=".
    QFont panelFont("Arial");
    panelFont.setPixelSize(11);
    tone_.Create(this, panelFont);
    // Every move of the bar (wheel, arrow and page keys, clicks, the thumb) applies its new
    // position at once; the tone message moves the bar without coming back here.  A drag is
    // logged as one action (app/tone_bar_log.h).
    toneLog_ = new ToneBarLog(tone_.toneBar, doc_, this);
    connect(tone_.toneBar, &QScrollBar::valueChanged, this, &CCVantrelView::ApplyTonePosition);
    prLabel_ = StaticText("PR=", this);
    prLabel_->setObjectName("PrLabel");
    qtLabel_ = StaticText("QT=", this);
    qtLabel_->setObjectName("QtLabel");
    prLabel_->hide();
    qtLabel_->hide();
    elapsedLabel_ = StaticText("- ms", this);
    elapsedLabel_->setObjectName("ElapsedLabel");

    // 10. "Record" (the PR/QT plot's interval recording) and the display-style list.
    recordButton_ = new QPushButton(Tr("ID_RECORD", "Record"), this);
    recordButton_->setObjectName("RecordButton");
    recordButton_->setFocusPolicy(Qt::NoFocus);
    connect(recordButton_, &QPushButton::clicked, this, &CCVantrelView::ToggleRecordIntervals);
    styleList_ = new FittingComboBox(this);
    styleList_->setObjectName("StyleList");
    styleList_->addItems(PictureStyleNames());
    styleList_->setCurrentIndex(
        std::clamp(saved.selCell, 0, styleList_->count() - 1));
    connect(styleList_, &QComboBox::activated, this, &CCVantrelView::OnStyleChanged);

    // 11. "I.C.1".."I.C.4".
    for (int n = 0; n < 4; ++n) {
        electrodeButton_[n] = new QPushButton(this);
        electrodeButton_[n]->setFocusPolicy(Qt::NoFocus);
        electrodeButton_[n]->hide();
        connect(electrodeButton_[n], &QPushButton::clicked, this, [this, n] { PlaceElectrodeButton(n + 1); });
    }

    // 12. Sweep speed.
    speedList_ = new FittingComboBox(this);
    speedList_->setObjectName("SpeedList");
    for (const char* s : kSpeedEntries) speedList_->addItem(s);
    speedList_->setCurrentIndex(1);
    liveSpeedSelection_ = 1;
    frozenSpeedSelection_ = 2;
    doc_.strip.SetSweepSpeed(3 - speedList_->currentIndex());
    connect(speedList_, &QComboBox::activated, this, &CCVantrelView::OnSpeedChanged);

    // 13. Lead lists, then the lead and electrode choices restored from the settings.
    const int32_t* savedLead = saved.selLead;
    for (int i = 0; i < 3; ++i) {
        leadList_[i] = new CComboBoxL(this);
        leadList_[i]->setObjectName(QStringLiteral("LeadList%1").arg(i + 1));
        for (std::string_view name : LeadTable) leadList_[i]->addItem(QString::fromLatin1(name.data(), name.size()));
        leadList_[i]->setCurrentIndex(std::clamp(savedLead[i], 0, kLeadCount - 1));
        connect(leadList_[i], &QComboBox::activated, this, &CCVantrelView::OnLeadsChanged);
    }
    OnLeadsChanged();
    {
        // The lists were filled by the load of the document's construction (or of step 5).
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        if (doc_.therapy.DrugList().empty()) doc_.therapy.FillLists(doc_.heart);
    }
    RefillTherapyLists();
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        for (int n = 0; n < 4; ++n) {
            int32_t cell = GetInt(settingsText_, QStringLiteral("SelX%1").arg(n + 1).toStdString(), 0) - 1;
            if (cell >= doc_.heart.cellCount) cell = -1;  // a saved cell this model does not have
            doc_.heart.icCell[n] = cell;
            doc_.heart.electrodes[n].cell = cell;
        }
        doc_.heart.pmAtrialCell = doc_.heart.pmVentricularCell = doc_.heart.pmVentricular2Cell = -1;
        doc_.heart.MarkElectrodes();
    }
    for (int n = 1; n <= 4; ++n) UpdateElectrodeCaption(n);

    // 14. The 3D picture's scroll bars and chamber boxes (shown with the 3D picture only),
    // "VPB" and "SVPB".
    Create3DControls();
    vpbButton_ = new CButtonR(Tr("ID_VPB", "VPB"), this);
    svpbButton_ = new CButtonR(Tr("ID_SVPB", "SVPB"), this);
    for (CButtonR* b : {vpbButton_, svpbButton_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
    connect(vpbButton_, &QPushButton::clicked, this,
            [this] { EngineControl(doc_).PressPremature(PrematureBeatCommand::Vpb); });
    connect(svpbButton_, &QPushButton::clicked, this,
            [this] { EngineControl(doc_).PressPremature(PrematureBeatCommand::Svpb); });
    connect(vpbButton_, &CButtonR::rightClicked, this, [this] { OpenCouplingSetting(doc_.heart, false, this); });
    connect(svpbButton_, &CButtonR::rightClicked, this, [this] { OpenCouplingSetting(doc_.heart, true, this); });

    // 15. The first model title.
    // The same banner as the reader's titles of later loads.
    doc_.modelTitle = "Vantrel - " + Translate("ID_HEARTMOD", "Heart Model") + " : " + "1.1 Normal";
    emit titleChanged(FromWestern(doc_.modelTitle));

    // 16. The comments caption and the strip laid out for the right half.
    doc_.commentsCaption = StaticText(Tr("IDC_COMMENTS", "Comments of TXT files"), this);
    doc_.commentsCaption->setGeometry(65, h - 120, w - 1 - 65, 20);
    doc_.commentsCaption->hide();
    commentPage_ = new HTMLReader(this);
    commentPage_->hide();
    connect(commentPage_, &QTextBrowser::historyChanged, this, [this] { emit commandStateChanged(); });
    ShowModelCommentPage();
    previousMode_ = 0;
    doc_.strip.SetLeftEdge(false);

    // 17. The premature-beat panel and the stimulator dialog.
    prematurePanel_ = new CMainDlg(this);
    prematurePanel_->adjustSize();
    prematurePanel_->hide();
    connect(prematurePanel_, &CMainDlg::commandRequested, this,
            [this](PrematureBeatCommand command) { EngineControl(doc_).PressPremature(command); });
    connect(prematurePanel_, &CMainDlg::setParametersRequested, this, [this] { Execute(kCmdParameters); });
    stimulatorDialog_ = new CORTHO(this);
    stimulatorDialog_->adjustSize();
    stimulatorDialog_->hide();
    auto stimulate = [this](StimulatorButton button) {
        return [this, button](const StimulatorSettings& settings) {
            const bool starting = button == StimulatorButton::Start ||
                                  (button == StimulatorButton::Emergency && settings.emergency);
            if (starting && !ElectrodeReadyForStimulator(settings.lead, true)) return;
            if (starting) stimulatorDialog_->SetNotice(QString());
            if (const auto refused = EngineControl(doc_).PressStimulator(button, settings))
                QMessageBox::warning(stimulatorDialog_, stimulatorDialog_->Title(), FromWestern(*refused));
        };
    };
    connect(stimulatorDialog_, &CORTHO::startRequested, this, stimulate(StimulatorButton::Start));
    // A panel grown by a notice finds a clear place again.
    for (ChildPanel* panel : Panels()) connect(panel, &ChildPanel::roomWanted, this, &CCVantrelView::KeepPanelsClear);
    connect(stimulatorDialog_, &CORTHO::stopRequested, this, stimulate(StimulatorButton::Stop));
    connect(stimulatorDialog_, &CORTHO::emergencyClicked, this, stimulate(StimulatorButton::Emergency));
    connect(stimulatorDialog_, &CORTHO::leadChosen, this, stimulate(StimulatorButton::Lead));

    // 18. The tone of the scroll bar, handled as message 1035.
    OnTone(ToneFromScrollPosition(tone_.toneBar->value()));

    // The sweep: drawn at about the display's refresh rate with the samples that arrived.
    sweepTimer_ = new QTimer(this);
    sweepTimer_->setTimerType(Qt::PreciseTimer);
    connect(sweepTimer_, &QTimer::timeout, this, &CCVantrelView::DrawNewSamples);

    Invalidate();
    emit commandStateChanged();
}

// ---------------------------------------------------------------------------------------------
// Layout and tool panels

void CCVantrelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!firstPaintPending_) FollowViewSize();
}

void CCVantrelView::FollowViewSize() {
    const ScreenLayout next = ScreenLayout::FromView(width(), height());
    if (next == layout_ && canvas_.devicePixelRatio() == devicePixelRatioF()) return;
    ApplyLayout(next);
    // The screen is laid out again at the next paint, keeping the strip's last screenful.
    previousMode_ = 0;
    keepTraces_ = true;
    Invalidate();
    emit layoutChanged();
}

void CCVantrelView::ApplyLayout(const ScreenLayout& layout) {
    layout_ = layout;
    const int w = layout.layoutWidth;
    const int h = layout.layoutHeight;
    // The canvas at the screen's device pixel ratio: strip, picture and text are drawn at the
    // device's resolution, in the layout's coordinates.
    const qreal ratio = std::max<qreal>(devicePixelRatioF(), 1.0);
    canvas_ = QImage(static_cast<int>(w * ratio), static_cast<int>(h * ratio), QImage::Format_RGB32);
    canvas_.setDevicePixelRatio(ratio);
    canvas_.fill(Qt::black);
    doc_.strip.SetLayout(w, h);
    doc_.strip.SetLeftEdge(displayMode_ != kScreenHeart);
    picture_->SetLayout(w, h, ComputeViewRects(layout, kScreenHeart).picture, ratio);
    if (doc_.commentsCaption) doc_.commentsCaption->setGeometry(65, h - 120, w - 1 - 65, 20);
    for (ChildPanel* panel : Panels()) panel->KeepInsideParent();
}

void CCVantrelView::keyPressEvent(QKeyEvent* event) {
    // Escape closes the tool panel on top, as it closes a panel that has the keyboard.
    if (event->key() == Qt::Key_Escape) {
        const QList<QWidget*> children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (auto it = children.crbegin(); it != children.crend(); ++it) {
            auto* panel = qobject_cast<ChildPanel*>(*it);
            if (panel && panel->isVisible()) {
                panel->hide();
                emit panel->closedByUser();
                event->accept();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

void CCVantrelView::DrawNewSamples() {
    if (firstPaintPending_ || (displayMode_ != kScreenHeart && displayMode_ != kScreenEcg)) return;
    if (fullPaintPending_) return;  // the coming full paint draws the strip
    if (doc_.display.WriteIndex() == doc_.strip.DrawnIndex()) return;
    QPainter p(&canvas_);
    update(doc_.strip.DrawNew(p));
}

bool CCVantrelView::ElectrodeReadyForStimulator(int lead, bool starting) {
    if (!starting || lead < 1 || lead > 4) return true;
    int32_t cell = -1;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        cell = doc_.heart.icCell[lead - 1];
    }
    if (cell >= 0) return true;
    const QString text = Tr("IDS_NOTICE_IC", "Place I.C.%1 on a cell first: click I.C.%1, then a cell").arg(lead);
    stimulatorDialog_->SetNotice(text);
    emit statusMessage(text);
    return false;
}

void CCVantrelView::RefreshLeadNotices() {
    if (pacemakerDialog_ && !pacemakerDialog_->Notice().isEmpty()) CheckPacemakerLeads(false);
    if (stimulatorDialog_ && !stimulatorDialog_->Notice().isEmpty()) {
        const int lead = stimulatorDialog_->Fields().lead;
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        if (lead >= 1 && lead <= 4 && doc_.heart.icCell[lead - 1] >= 0) stimulatorDialog_->SetNotice(QString());
    }
}

void CCVantrelView::CheckPacemakerLeads(bool announce) {
    QStringList missing;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        const int32_t mode = doc_.heart.pmMode;
        if (mode != kPmNone && mode != kPmVvi && doc_.heart.pmAtrialCell < 0) missing << QStringLiteral("A");
        if (mode != kPmNone && mode != kPmAai && doc_.heart.pmVentricularCell < 0) missing << QStringLiteral("V");
        if (mode == kPmCrt && doc_.heart.pmVentricular2Cell < 0) missing << QStringLiteral("V'");
    }
    if (missing.isEmpty()) {
        pacemakerDialog_->SetNotice(QString());
        return;
    }
    if (!announce && pacemakerDialog_->Notice().isEmpty()) return;
    const QString leads = missing.join(QStringLiteral(", "));
    const QString text = Tr("IDS_NOTICE_PM_LEAD", "Place the pacemaker lead %1 on a cell first: on the heart-model screen "
                                                  "click \"%2 ?\" on the pacemaker under the heart, then a cell")
                             .arg(leads, missing.first());
    if (announce) emit statusMessage(text);
    // The dialog shows the reason when it is opened again; the pacemaker under the heart marks
    // the lead with " ?" meanwhile.
    pacemakerDialog_->SetNotice(text);
}

// ---------------------------------------------------------------------------------------------
// Painting

void CCVantrelView::Invalidate() {
    fullPaintPending_ = true;
    update();
}

void CCVantrelView::paintEvent(QPaintEvent* event) {
    if (fullPaintPending_ && !firstPaintPending_) {
        fullPaintPending_ = false;
        QPainter canvasPainter(&canvas_);
        PaintScreen(canvasPainter);
    }
    QPainter p(this);
    const QRect r = event->rect();
    const qreal ratio = canvas_.devicePixelRatio();
    p.fillRect(r, Qt::black);
    p.drawImage(QRectF(r), canvas_,
                QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void CCVantrelView::PaintScreen(QPainter& p) {
    const bool newLayout = displayMode_ != previousMode_;
    switch (displayMode_) {
    case kScreenHeart: PaintHeartScreen(p, newLayout); break;
    case kScreenEcg: PaintEcgScreen(p, newLayout); break;
    case kScreenFrozen: PaintFrozenScreen(p, newLayout); break;
    case kScreenComments: PaintCommentsScreen(p, newLayout); break;
    default: break;
    }
    previousMode_ = displayMode_;
    keepTraces_ = false;
    // The sweep's beat runs only while a live strip is shown.
    const bool live = displayMode_ == kScreenHeart || displayMode_ == kScreenEcg;
    if (live && !sweepTimer_->isActive()) sweepTimer_->start(kSweepPeriodMs);
    if (!live) sweepTimer_->stop();
    setFocus();
}

void CCVantrelView::PaintHeartScreen(QPainter& p, bool newLayout) {
    prematurePanel_->hide();
    if (newLayout) {
        p.fillRect(QRect(QPoint(0, 0), canvas_.deviceIndependentSize().toSize()), Qt::black);
        doc_.strip.SetLeftEdge(false);
        if (keepTraces_)
            doc_.strip.Redraw(p);
        else
            doc_.strip.DrawBackground(p);
        keepTraces_ = false;
        LayOutControls();
        ShowHeartScreenControls();
        KeepPanelsClear();
    } else {
        doc_.strip.Redraw(p);
    }
    DrawHeartPicture(p);
    if (welcomePending_) {
        welcomePending_ = 0;
        // The dialog is modal; it must not run inside the paint.
        QTimer::singleShot(0, this, [this] {
            ShowWelcome(0);
            StartAfterWelcome();
        });
    }
    if (commentRefreshPending_) {
        commentRefreshPending_ = 0;
        commentPage_->Refresh();
    }
}

void CCVantrelView::PaintEcgScreen(QPainter& p, bool newLayout) {
    const bool entering = newLayout && !keepTraces_;
    if (newLayout) {
        p.fillRect(QRect(QPoint(0, 0), canvas_.deviceIndependentSize().toSize()), Qt::black);
        doc_.strip.SetLeftEdge(true);
        if (keepTraces_)
            doc_.strip.Redraw(p);
        else
            doc_.strip.DrawBackground(p);
        keepTraces_ = false;
        LayOutControls();
        ShowEcgScreenControls();
        KeepPanelsClear();
    } else {
        doc_.strip.Redraw(p);
    }
    if (doc_.commentsCaption) doc_.commentsCaption->hide();
    // Entering the screen brings the premature-beat panel back; a repaint leaves it as the user
    // left it.
    if (entering && !prematurePanel_->isVisible()) OpenPanel(prematurePanel_);
    if (RunMode() == -1) SetRunMode(1);
}

void CCVantrelView::PaintCommentsScreen(QPainter& p, bool newLayout) {
    SetRunMode(0);
    if (newLayout) {
        // Nothing of the screen before shows around the page.
        p.fillRect(QRect(QPoint(0, 0), canvas_.deviceIndependentSize().toSize()), Qt::black);
        HideScreenControls();
        PlaceCommentPage();
        commentPage_->show();
    }
}

void CCVantrelView::PlaceCommentPage() {
    // Full screen, or the right half above the strip, down to the drug and sequence lists.
    const ViewRects rects = Rects();
    commentPage_->setGeometry(displayMode_ == kScreenComments ? rects.fullScreenPage : rects.commentPage);
}

void CCVantrelView::ShowModelCommentPage() {
    if (!commentPage_) return;
    std::string comments;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        comments = doc_.heart.modelComments;
    }
    if (doc_.languageIndex < 0 || doc_.languageIndex > 25) doc_.languageIndex = 0;
    // Comments that name no page leave the page on show.
    if (const auto page = CommentPageFile(comments, doc_.programDirectory, doc_.languageSuffix))
        commentPage_->Navigate(*page);
}

int32_t CCVantrelView::PictureStyle() const {
    return styleList_ ? styleList_->currentIndex() : kDefaultPictureStyle;
}

void CCVantrelView::DrawHeartPicture(QPainter& p) {
    // The paint's full picture: the whole height of the left half, then the colour keys of the
    // intracardiac electrodes and the pacemaker panel.
    if (heart3d_) {
        Sync3DLayout();
        picture3d_->PrepareForPaint();
        picture3d_->DrawHeart(p, PictureStyle());
        // The hidden parts are removed at once (on a worker while the simulation runs, so that the
        // cell notices are not held up), and the neighbours of the point styles found, before
        // any single cell is repainted.
        if (RunMode() > 0)
            picture3d_->StartRegionWork(this, true);
        else
            picture3d_->ComputeVisibleRegions();
        picture3d_->FindOccluders();
    } else {
        picture_->PrepareForPaint();
        picture_->DrawHeart(p, PictureStyle());
    }
    int32_t baselines[4];
    doc_.strip.GetIntracardiacBaselines(baselines);
    picture_->DrawIcKeys(p, baselines);
    picture_->DrawPacemakerPanel(p);
}

void CCVantrelView::RedrawHeart() {
    if (displayMode_ != kScreenHeart || firstPaintPending_ || picture_->Busy() || picture3d_->Busy()) return;
    QPainter p(&canvas_);
    int32_t baselines[4];
    doc_.strip.GetIntracardiacBaselines(baselines);
    if (heart3d_) {
        Sync3DLayout();
        std::array<bool, kChamberCount> shown{};
        for (int i = 0; i < kChamberCount; ++i) shown[static_cast<size_t>(i)] = chamberBox_[i]->isChecked();
        picture3d_->SetChambers(shown);
        picture3d_->SetLinkClickFullVolume(doc_.linkClickFullVolume != 0);
        picture3d_->RedrawHeart(p, PictureStyle());
        if (PictureStyle() != kStyleFullVolume) picture3d_->FindOccluders();
        picture_->DrawIcKeys(p, baselines);
        picture_->DrawPacemakerPanel(p);
    } else {
        picture_->RedrawHeart(p, PictureStyle(), baselines);
    }
    update(QRect(0, 0, layout_.layoutWidth / 2 + 1, layout_.layoutHeight));
}

void CCVantrelView::FlushCellRepaints() {
    if (displayMode_ != kScreenHeart) {
        picture_->DropCellRepaints();
        picture3d_->DropCellRepaints();
        return;
    }
    QPainter p(&canvas_);
    if (heart3d_) {
        picture_->DropCellRepaints();
        // Until the hidden parts of the last drawing are removed, cells wait for the next one.
        if (!picture3d_->CellRepaintAllowed(RunMode())) {
            picture3d_->DropCellRepaints();
            return;
        }
        update(picture3d_->FlushCellRepaints(p));
        return;
    }
    update(picture_->FlushCellRepaints(p));
}

void CCVantrelView::PictureHost::OpenCellSetting(int32_t cell) {
    vantrel::OpenCellSetting(view_.doc_.heart, cell, &view_);
}

void CCVantrelView::PictureHost::RedrawLink(int32_t link) {
    QPainter p(&view_.canvas_);
    if (view_.heart3d_)
        view_.picture3d_->DrawLink3D(p, link);
    else
        view_.picture_->DrawLink2D(p, link);
    view_.update(QRect(0, 0, view_.layout_.layoutWidth / 2 + 1, view_.layout_.layoutHeight));
}

void CCVantrelView::PictureHost::ElectrodePlaced(int32_t electrode, int32_t cell) {
    std::string name;
    {
        std::lock_guard<std::mutex> guard(view_.doc_.heart.lock);
        if (cell >= 0 && cell < view_.doc_.heart.cellCount) name = view_.doc_.heart.cells[cell].name;
    }
    name = Windows1252ToUtf8(name);
    const char* on = cell >= 0 ? name.c_str() : nullptr;
    const char lead = electrode == kElectrodeAtrial ? 'A' : electrode == kElectrodeVentricular ? 'V' : '2';
    EngineControl(view_.doc_).LogAction(electrode >= 1 && electrode <= 4
                                            ? ElectrodeActionText(electrode - 1, on)
                                            : PacemakerLeadActionText(lead, on));
}

void CCVantrelView::PictureHost::SetIcButtonCaption(int k, const QString& caption) {
    view_.electrodeButton_[k - 1]->setText(caption);
}

void CCVantrelView::PictureHost::ShowPlacingCursor(bool on) {
    if (on)
        view_.setCursor(Qt::PointingHandCursor);
    else
        view_.unsetCursor();
}

void CCVantrelView::LayOutControls() {
    const ViewRects rects = Rects();
    const EcgStrip& strip = doc_.strip;

    // Tone panel: a narrow column at the left edge, above the strip, so that it covers as little
    // of the heart picture as it can.
    // The full-width screens show only the tone value and the heart rate under the bar.
    const QRect tone = rects.toneColumn;
    const std::vector<QLabel*> toneLabels =
        displayMode_ == kScreenHeart
            ? std::vector<QLabel*>{tone_.toneValue, tone_.arLabel, tone_.sinusRateValue, tone_.heartRateValue}
            : std::vector<QLabel*>{tone_.toneValue, tone_.heartRateValue};
    tone_.svbLabel->setGeometry(tone.left(), tone.top(), tone.width(), 14);
    const int barHeight = tone.height() - 16 - static_cast<int>(toneLabels.size()) * 16;
    tone_.toneBar->setGeometry(tone.left() + 6, tone.top() + 16, 16, barHeight);
    int y = tone.top() + 16 + barHeight + 2;
    for (QLabel* label : toneLabels) {
        label->setGeometry(tone.left(), y, tone.width(), 14);
        y += 16;
    }

    // Beside the strip: at the left edge of the right half on the heart-model screen, at the left
    // edge of the view on the full-width screens.
    const QRect beside = rects.besideStrip;
    int32_t baselines[4];
    strip.GetIntracardiacBaselines(baselines);
    for (int n = 0; n < 4; ++n)
        electrodeButton_[n]->setGeometry(beside.left(), baselines[n] - kRowHeight / 2, beside.width(), kRowHeight);
    // On the frozen screen the time of the stretch is written at the strip's bottom left: the
    // list stands clear of it.
    const int speedListY = strip.StripBottom() - (displayMode_ == kScreenFrozen ? 40 : 24);
    speedList_->setGeometry(beside.left(), speedListY, beside.width(), 22);
    // Each lead list centred on its trace's baseline; on a low window the lists rise from the
    // bottom one up (still beside their traces) to stay clear of the sweep-speed list and of
    // one another.
    for (int i = 2, below = speedListY; i >= 0; --i) {
        const int top = std::min(strip.Baseline(5 + i) - 11, below - 24);
        leadList_[i]->setGeometry(beside.left(), top, beside.width(), 22);
        below = top;
    }
    // Above the first trace's rows and the first "I.C." button.
    elapsedLabel_->setGeometry(beside.left(), strip.StripTop() + 1, beside.width() + 4, 16);

    // Heart-model screen only: the therapy lists above the strip, the row under the picture.
    const QRect therapy = rects.therapyRow;
    const int listWidth = (therapy.width() - 6) / 2;
    sequenceList_->setGeometry(therapy.left(), therapy.top(), listWidth, therapy.height());
    drugList_->setGeometry(therapy.left() + listWidth + 6, therapy.top(), listWidth, therapy.height());
    // "SVPB", "VPB", "PR=", "QT=", "Record" and the style list at the widths of their texts, over
    // two lines when the half is narrow (app/view_rows.cpp).
    const int topOfRows = LayOutPictureRow(rects);
    PlaceCommentPage();
    LayOut3DControls(topOfRows);
}

void CCVantrelView::ShowHeartScreenControls() {
    for (QWidget* wgt : std::initializer_list<QWidget*>{
             electrodeButton_[0], electrodeButton_[1], electrodeButton_[2], electrodeButton_[3], leadList_[0],
             leadList_[1], leadList_[2], speedList_, drugList_, sequenceList_, tone_.svbLabel, tone_.toneBar, tone_.toneValue,
             tone_.arLabel, tone_.sinusRateValue, tone_.heartRateValue, prLabel_, qtLabel_, recordButton_, vpbButton_,
             svpbButton_, styleList_, elapsedLabel_, commentPage_})
        wgt->show();
    Show3DControls(heart3d_);
}

void CCVantrelView::ShowEcgScreenControls() {
    for (QWidget* wgt : std::initializer_list<QWidget*>{
             tone_.toneBar, tone_.toneValue, electrodeButton_[0], electrodeButton_[1], electrodeButton_[2],
             electrodeButton_[3], leadList_[0], leadList_[1], leadList_[2], speedList_, tone_.heartRateValue,
             tone_.svbLabel, elapsedLabel_})
        wgt->show();
    for (QWidget* wgt : std::initializer_list<QWidget*>{styleList_, azimuthBar_, elevationBar_, vpbButton_,
                                                        svpbButton_, prLabel_, qtLabel_, recordButton_, tone_.arLabel,
                                                        tone_.sinusRateValue, drugList_, sequenceList_,
                                                        commentPage_})
        wgt->hide();
    for (QCheckBox* box : chamberBox_) box->hide();
}

void CCVantrelView::HideScreenControls() {
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) child->hide();
}

void CCVantrelView::ShowWelcome(int chapter) {
    CWelcome welcome(chapter, doc_.programDirectory, doc_.languageSuffix, this);
    if (welcomeClosesItself_) QTimer::singleShot(200, &welcome, &QDialog::accept);
    welcome.exec();
}

void CCVantrelView::StartAfterWelcome() {
    clockLive_ = 1;
    if (RunMode() == -1) SetRunMode(1);
    emit commandStateChanged();
    emit simulationStarted();
}

// ---------------------------------------------------------------------------------------------
// Engine messages

bool CCVantrelView::event(QEvent* e) {
    const int type = e->type();
    if (type < QEvent::User) return QWidget::event(e);
    auto* message = static_cast<EngineEvent*>(e);
    switch (message->message) {
    case kMsgRedraw: OnRedrawMessage(); return true;
    case kMsgModelTitle: OnModelTitle(); return true;
    case kMsgCellChanged: OnCellChanged(message->wParam, message->lParam); return true;
    case kMsgTone: OnTone(message->wParam); return true;
    case kMsgDrugEnded: OnDrugEnded(); return true;
    case kMsgSequenceEnded: OnSequenceEnded(); return true;
    case kMsgSyncPaint: OnSyncPaint(); return true;
    default: return QWidget::event(e);
    }
}

void CCVantrelView::OnRedrawMessage() {
    if (firstPaintPending_) return;
    DrawNewSamples();
    int32_t sinusClock = 0;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        sinusClock = doc_.heart.sinusClock;
    }
    elapsedLabel_->setText(EcgStrip::ElapsedLabel(RunMode(), sinusClock));
    SampleHeartRate();
}

void CCVantrelView::SampleHeartRate() {
    CCoeur& heart = doc_.heart;
    int32_t arrestState = 0;
    bool runStartSequence = false;
    {
        std::lock_guard<std::mutex> guard(heart.lock);
        if (heart.startSequencePending == 1) {
            heart.startSequencePending = 2;
            samplingCounter_ = 0;
        }
        arrestState = heart.arrestState;
    }
    samplingCounter_ += RunMode() > 3 ? 10 : 100;
    if (arrestState == 1) RedrawHeart();
    if (arrestState == 2) SetRunMode(0);
    if (samplingCounter_ < 5000) return;
    samplingCounter_ = 0;

    int32_t rate = 0;
    int32_t cell5Rate = 0;
    EngineControl(doc_).QueryRates(rate, cell5Rate);
    int32_t prInterval = 0;
    int32_t qtInterval = 0;
    bool declareArrest = false;
    {
        std::lock_guard<std::mutex> guard(heart.lock);
        heart.arrestAccumulator = NextArrestAccumulator(heart.arrestAccumulator, rate);
        if (heart.arrestAccumulator > kArrestThreshold) {
            declareArrest = true;
            heart.arrestState = 1;
        }
        prInterval = heart.prInterval;
        qtInterval = heart.qtInterval;
        runStartSequence = heart.startSequencePending != 0;
        heart.startSequencePending = 0;
    }
    doc_.rates.PushHeartRate(rate);
    tone_.heartRateValue->setText(QString::fromStdString(RateLabel(rate)));
    tone_.sinusRateValue->setText(QString::fromStdString(SecondRateLabel(cell5Rate)));
    prLabel_->setText(QString::fromStdString(PrLabel(prInterval)));
    qtLabel_->setText(QString::fromStdString(QtLabel(qtInterval)));
    if (declareArrest) DeclareArrest();
    // The start sequence of a load runs once, at the first rate sample after it.
    if (runStartSequence) {
        EngineControl(doc_).RunStartSequence();
        ShowTherapySelections();
        RedrawHeart();
    }
}

void CCVantrelView::OnModelTitle() {
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        doc_.modelTitle = doc_.heart.modelTitle;
    }
    emit titleChanged(FromWestern(doc_.modelTitle));
}

void CCVantrelView::OnCellChanged(int32_t tickOfMessage, int32_t cellIndex) {
    // Late notices make the clock drop ticks instead of flooding the interface.
    clock_.OnCellNotice(tickOfMessage);
    // The cell is redrawn alone; the notices of one burst are drawn together by one flush, queued
    // behind them.
    if (displayMode_ != kScreenHeart || firstPaintPending_) return;
    if (heart3d_ ? picture3d_->QueueCellRepaint(cellIndex) : picture_->QueueCellRepaint(cellIndex))
        QMetaObject::invokeMethod(this, &CCVantrelView::FlushCellRepaints, Qt::QueuedConnection);
}

void CCVantrelView::StepHooks::OnStepFinished() {
    if (view_.displayMode_ == kScreenFrozen) {
        // The frozen screen shows no live samples; a new rate sample redraws its trend, and the
        // stretch and cursor with it.
        if (view_.doc_.rates.rateUpdated) {
            view_.doc_.rates.rateUpdated = 0;
            view_.DrawFrozenAt(-1);
        }
    } else {
        QPainter p(&view_.canvas_);
        view_.update(view_.doc_.strip.DrawNew(p));
    }
    int32_t sinusClock = 0;
    {
        std::lock_guard<std::mutex> guard(view_.doc_.heart.lock);
        sinusClock = view_.doc_.heart.sinusClock;
    }
    view_.elapsedLabel_->setText(EcgStrip::ElapsedLabel(view_.RunMode(), sinusClock));
}

int32_t CCVantrelView::SinusRateAtTone(int32_t tone) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return vantrel::SinusRateAtTone(doc_.heart, tone);
}

void CCVantrelView::OnTone(int32_t tone) {
    if (!tone_.toneBar) return;
    {
        const QSignalBlocker blocker(tone_.toneBar);
        tone_.toneBar->setValue(PositionOfTone(tone));
    }
    // The engine's own tone (a ramp, a sequence, a load): not an action of the user.
    EngineControl(doc_).ApplyTone(tone);
    const int32_t sinusRate = SinusRateAtTone(tone);
    tone_.sinusRateValue->setText(sinusRate < 0 ? QStringLiteral(" - ") : QString::number(sinusRate));
    tone_.toneValue->setText(QString::number(std::clamp(tone, 0, 999)));
}

void CCVantrelView::ApplyTonePosition(int32_t position) {
    const int32_t tone = ToneFromScrollPosition(std::clamp(position, 0, 200));
    toneLog_->Apply(tone);
    tone_.toneValue->setText(QString::number(std::clamp(tone, 0, 999)));
}

void CCVantrelView::OnDrugEnded() {
    doc_.therapy.DrugEnded();
    if (!drugList_) return;
    const QSignalBlocker blocker(drugList_);
    drugList_->setCurrentIndex(0);
}

void CCVantrelView::OnSequenceEnded() {
    doc_.therapy.SequenceEnded();
    if (!sequenceList_) return;
    const QSignalBlocker blocker(sequenceList_);
    sequenceList_->setCurrentIndex(0);
}

void CCVantrelView::RefillTherapyLists() {
    if (!drugList_) return;
    const QSignalBlocker drugBlocker(drugList_);
    const QSignalBlocker sequenceBlocker(sequenceList_);
    drugList_->clear();
    for (const std::string& name : doc_.therapy.DrugList()) drugList_->addItem(FromWestern(name));
    sequenceList_->clear();
    for (const std::string& name : doc_.therapy.SequenceList()) sequenceList_->addItem(FromWestern(name));
    ShowTherapySelections();
    ShowModelCommentPage();
}

void CCVantrelView::ShowTherapySelections() {
    const QSignalBlocker drugBlocker(drugList_);
    const QSignalBlocker sequenceBlocker(sequenceList_);
    drugList_->setCurrentIndex(doc_.therapy.SelectedDrug());
    sequenceList_->setCurrentIndex(doc_.therapy.SelectedSequence());
}

void CCVantrelView::OnDrugChosen(int index) {
    EngineControl engine(doc_);
    if (const std::optional<std::string> comment = engine.DrugSelected(index)) {
        // The dialog runs without the model lock: the simulation goes on meanwhile.
        CDrug2 dialog(*comment, this);
        if (therapyAnswer_) QTimer::singleShot(0, &dialog, therapyAnswer_ > 0 ? &QDialog::accept : &QDialog::reject);
        engine.AnswerDrug(dialog.exec() == QDialog::Accepted);
    }
    ShowTherapySelections();
    RedrawHeart();
}

void CCVantrelView::OnSequenceChosen(int index) {
    EngineControl engine(doc_);
    if (const std::optional<std::string> comment = engine.SequenceSelected(index)) {
        CSelectSeq dialog(*comment, this);
        if (therapyAnswer_) QTimer::singleShot(0, &dialog, therapyAnswer_ > 0 ? &QDialog::accept : &QDialog::reject);
        engine.AnswerSequence(dialog.exec() == QDialog::Accepted);
    }
    ShowTherapySelections();
    RedrawHeart();
}

bool CCVantrelView::LoadAndRefill(const std::string& fileName, bool clearPresets) {
    const bool loaded = EngineControl(doc_).LoadModel(fileName, clearPresets);
    RefillTherapyLists();
    return loaded;
}

void CCVantrelView::LoadHeartModel() {
    CSelectHeart dialog(doc_.programDirectory, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const int32_t runModeBefore = RunMode();
    SetRunMode(kRunNotStarted);
    if (!LoadAndRefill(dialog.ChosenName(), true)) {
        SetRunMode(runModeBefore);  // the previous model was put back: it goes on as it was
        return;
    }
    pacemakerDialog_->ResetMode();
    ShowBigeminyState();
    Invalidate();
    SetRunMode(kRunNormal);
}

void CCVantrelView::ReloadModel() {
    const int32_t runModeBefore = RunMode();
    SetRunMode(kRunNotStarted);
    if (!LoadAndRefill("XXX", false)) {
        SetRunMode(runModeBefore);
        return;
    }
    ShowBigeminyState();
    Invalidate();
    SetRunMode(kRunNormal);
}

void CCVantrelView::ShowBigeminyState() {
    if (!prematurePanel_) return;
    EngineControl engine(doc_);
    for (bool ventricular : {false, true}) {
        QCheckBox* box = prematurePanel_->BigeminyBox(ventricular);
        const QSignalBlocker blocker(box);
        box->setChecked(engine.BigeminyRunning(ventricular));
    }
}

void CCVantrelView::ChooseLanguage() {
    const int32_t chosen = RunSelectLanguage(doc_.languageNames, doc_.languageIndex, this);
    if (chosen < 0) return;
    if (chosen != doc_.languageIndex) {
        doc_.languageIndex = chosen;
        doc_.ApplyLanguage();
        emit languageApplied();
        TranslateControls();
        // The model again, with the language's drug and sequence files.
        ReloadModel();
        if (doc_.notifier.EndRequested()) return;
    }
    // The model's comment page again, in the language chosen.
    ShowModelCommentPage();
    Invalidate();
}

void CCVantrelView::OnSyncPaint() { RedrawHeart(); }

// ---------------------------------------------------------------------------------------------
// Controls

void CCVantrelView::OnLeadsChanged() {
    doc_.strip.SetLeads(leadList_[0]->currentIndex(), leadList_[1]->currentIndex(), leadList_[2]->currentIndex());
    if (displayMode_ == kScreenFrozen) Invalidate();  // the frozen stretch shows the new leads at once
}

void CCVantrelView::OnSpeedChanged() {
    doc_.strip.SetSweepSpeed(3 - speedList_->currentIndex());
    commentRefreshPending_ = 1;
    Invalidate();
}

void CCVantrelView::OnStyleChanged() {
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        doc_.heart.pictureMode = styleList_->currentIndex();
    }
    commentRefreshPending_ = 1;
    Invalidate();
}

void CCVantrelView::PlaceElectrodeButton(int electrode) {
    if (displayMode_ != kScreenHeart) return;
    pictureMouse_->StartPlacingIc(electrode);
}

void CCVantrelView::UpdateElectrodeCaption(int electrode) {
    int32_t cell = -1;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        cell = doc_.heart.icCell[electrode - 1];
    }
    electrodeButton_[electrode - 1]->setText(IcButtonCaption(electrode, cell != -1));
}

// ---------------------------------------------------------------------------------------------
// Mouse

void CCVantrelView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && displayMode_ == kScreenHeart && !firstPaintPending_) {
        pictureMouse_->OnLButtonDown(at.x(), at.y());
        return;
    }
    if (event->button() == Qt::LeftButton && displayMode_ == kScreenFrozen && !firstPaintPending_) {
        OnFrozenClick(at);
        return;
    }
    // A right press is answered by the context-menu event that follows it: a control that has
    // its own right-click action ("SVPB", "VPB", the drug and sequence lists) takes that event,
    // and the press it let through must not open the help as well.
    QWidget::mousePressEvent(event);
}

void CCVantrelView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() != QContextMenuEvent::Mouse) return;
    const QPoint at = event->pos();
    const int half = layout_.layoutWidth / 2;
    if (displayMode_ == kScreenHeart) {
        if (at.x() < half)
            ShowWelcome(at.y() < 80 ? 2 : 1);
        else
            ShowWelcome(at.y() >= doc_.strip.StripTop() ? 3 : 2);
    } else if (displayMode_ == kScreenFrozen) {
        ShowWelcome(4);
    }
}

void CCVantrelView::mouseReleaseEvent(QMouseEvent* event) { QWidget::mouseReleaseEvent(event); }

// ---------------------------------------------------------------------------------------------
// Commands

bool CCVantrelView::IsCommandEnabled(int id) const {
    const bool normalWindow = commentsFullScreen_ == 0;
    switch (id) {
    case kCmdPrintSetup:
    case kCmdQuit:
    case kCmdGrid:
    case kCmdTWave:
    case kCmdRespiration:
    case kCmdAbout:
    case kCmdParameters:
    case kCmdSetupApplication:
    case kCmdAdvanced:
    case kCmdLanguage:
        return true;
    case kCmdEcgScreen:
    case kCmdHeart2d:
    case kCmdHeart3d:
    case kCmdPrQtPlot:
    case kCmdFrozenScreen:
        return normalWindow;
    case kCmdPrint:
    case kCmdMoveLeft:
    case kCmdMoveRight:
    case kCmdRecord:
        return displayMode_ == kScreenFrozen;
    case kCmdReport:
        return normalWindow && !firstPaintPending_;
    case kCmdLoadHeart:
    case kCmdInitialValues:
        return normalWindow;
    case kCmdPacemaker:
        return normalWindow && pacemakerDialog_ != nullptr;
    case kCmdStimulator:
        return normalWindow && stimulatorDialog_ != nullptr;
    case kCmdCardioversion:
        return normalWindow;
    case kCmdRemodeling:
        return true;
    case kCmdStep:
        return displayMode_ == kScreenHeart;
    case kCmdCommentsFull:
        return displayMode_ == kScreenHeart && commentsFullScreen_ == 0 && commentPage_ != nullptr;
    case kCmdCommentsNormal:
        return commentsFullScreen_ == 1;
    case kCmdGoBack:
        return (displayMode_ == kScreenHeart || displayMode_ == kScreenComments) && commentPage_ &&
               commentPage_->isBackwardAvailable();
    case kCmdGoForward:
        return (displayMode_ == kScreenHeart || displayMode_ == kScreenComments) && commentPage_ &&
               commentPage_->isForwardAvailable();
    case kCmdAboutHeart:
        return true;
    case kCmdSpeed:
        return displayMode_ == kScreenHeart;
    default:
        // Not part of this build: the comment pages and recording.
        return false;
    }
}

bool CCVantrelView::IsCommandChecked(int id) const {
    switch (id) {
    case kCmdGrid: return doc_.strip.IsGridOn();
    case kCmdTWave: return EngineControl(doc_).TWaveOn();
    case kCmdRespiration: return EngineControl(doc_).RespirationOn();
    default: return false;
    }
}

void CCVantrelView::Execute(int id) {
    if (!IsCommandEnabled(id)) return;
    switch (id) {
    case kCmdEcgScreen: SwitchScreen(kScreenEcg); break;
    case kCmdFrozenScreen: Freeze(); break;
    case kCmdPrint: PrintStrip(); break;
    case kCmdMoveLeft: MoveFrozen(true); break;
    case kCmdMoveRight: MoveFrozen(false); break;
    case kCmdReport: PrintReport(); break;
    case kCmdRecord: RecordEcgFile(); break;
    case kCmdLoadHeart: LoadHeartModel(); break;
    case kCmdInitialValues: ReloadModel(); break;
    case kCmdHeart2d:
        heart3d_ = false;
        commentRefreshPending_ = 1;
        SwitchScreen(kScreenHeart);
        break;
    case kCmdHeart3d: ShowHeart3D(); break;
    case kCmdPrQtPlot: ShowIntervalPlot(); break;
    case kCmdGrid: doc_.strip.ToggleGrid(); break;
    case kCmdTWave: EngineControl(doc_).ToggleTWave(); break;
    case kCmdRespiration: EngineControl(doc_).ToggleRespiration(); break;
    case kCmdPacemaker: OpenPanel(pacemakerDialog_); break;
    case kCmdStimulator: OpenPanel(stimulatorDialog_); break;
    case kCmdCardioversion:
        EngineControl(doc_).Shock();
        ShockDuringArrest();
        break;
    case kCmdRemodeling: EngineControl(doc_).AtrialRemodeling(); break;
    case kCmdStep: StepByStep(); break;
    case kCmdSpeed: ToggleSpeed(); break;
    case kCmdAbout: ShowAbout(); break;
    case kCmdAboutHeart: {
        std::string description;
        {
            std::lock_guard<std::mutex> guard(doc_.heart.lock);
            description = doc_.heart.modelDate;
        }
        CHMComments dialog(description, this);
        dialog.exec();
        break;
    }
    case kCmdCommentsFull:
        displayMode_ = kScreenComments;
        commentsFullScreen_ = 1;
        previousMode_ = 0;
        Invalidate();
        break;
    case kCmdCommentsNormal:
        commentsFullScreen_ = 0;
        SwitchScreen(kScreenHeart);
        SetRunMode(1);
        break;
    case kCmdGoBack: commentPage_->GoBack(); break;
    case kCmdGoForward: commentPage_->GoForward(); break;
    case kCmdParameters: RunParametersDialog(doc_.heart, this); break;
    case kCmdAdvanced: RunAdvancedFunctions(doc_.advancedFunctions, doc_.regional, doc_.heart, this); break;
    case kCmdSetupApplication: RunSetupApplication(doc_.heart, doc_.linkClickFullVolume, this); break;
    case kCmdLanguage: ChooseLanguage(); break;
    case kCmdPrintSetup: ShowPrinterSetup(); break;
    case kCmdQuit: window()->close(); break;
    default: break;
    }
    emit commandStateChanged();
}

void CCVantrelView::SwitchScreen(int32_t mode) {
    PrintPending();  // strips queued on the frozen screen are printed before it goes
    if (displayMode_ == kScreenFrozen && mode != kScreenFrozen) {
        frozenSpeedSelection_ = speedList_->currentIndex();
        speedList_->setCurrentIndex(liveSpeedSelection_);
        doc_.strip.SetSweepSpeed(3 - liveSpeedSelection_);
    } else if (displayMode_ != kScreenFrozen && mode == kScreenFrozen) {
        liveSpeedSelection_ = speedList_->currentIndex();
        speedList_->setCurrentIndex(frozenSpeedSelection_);
        doc_.strip.SetSweepSpeed(3 - frozenSpeedSelection_);
    }
    if (mode == kScreenEcg || mode == kScreenFrozen) {
        pictureMouse_->DropCursor();  // the pending electrode stays: the next click on the picture places it
    }
    displayMode_ = mode;
    previousMode_ = 0;
    if (mode == kScreenHeart || mode == kScreenEcg) doc_.strip.Resync();
    Invalidate();
}

void CCVantrelView::ToggleSpeed() {
    if (ArrestRefusesSpeed()) return;
    clock_.ToggleSpeed();
}

void CCVantrelView::StepByStep() {
    if (!clockLive_) return;  // nothing runs before the Welcome dialog has closed
    clock_.Step();
}

void CCVantrelView::ShowAbout() {
    QMessageBox box(this);
    box.setWindowTitle(Tr("IDD_ABOUTBOX", "About Vantrel"));
    box.setText("Vantrel Clinic Version 3.4");
    box.setInformativeText(Tr("IDS_ABOUT_TEXT", "A teaching simulator of cardiac electrophysiology."));
    box.setIconPixmap(windowIcon().pixmap(32, 32));
    box.exec();
}

void CCVantrelView::ShowPrinterSetup() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageSetupDialog dialog(printer_.get(), this);
    dialog.exec();
}

void CCVantrelView::WriteSettingsFile() {
    if (!pacemakerDialog_) return;  // the view never painted: nothing was read, nothing to keep
    SettingsValues values;
    values.selCell = styleList_->currentIndex();
    for (int i = 0; i < 3; ++i) values.selLead[i] = leadList_[i]->currentIndex();
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        for (int n = 0; n < 4; ++n) values.electrodeCell[n] = doc_.heart.icCell[n];
        values.pmAtrialCell = doc_.heart.pmAtrialCell;
        values.pmVentricularCell = doc_.heart.pmVentricularCell;
        values.pmVentricular2Cell = doc_.heart.pmVentricular2Cell;
    }
    pacemakerDialog_->ReadFields();  // what the edits show, as far as they pass their checks
    const PacemakerSettings& pm = pacemakerDialog_->Fields();
    values.pmAvDelay = pm.avDelayMs;
    values.pmMaxRate = pm.maxRateBpm;
    values.pmRate = pm.basicRateBpm;
    values.pmVvDelay = pm.vvDelayMs;
    values.pmAtrialBlanking = pm.atrialBlankingMs;
    values.pmVentricularBlanking = pm.ventricularBlankingMs;
    values.languageIndex = doc_.languageIndex;
    if (std::string why; !WriteSettings(doc_.SettingsPath(), values, &why))
        std::fprintf(stderr, "vantrel: the settings could not be saved (%s)\n", why.c_str());
}

}  // namespace vantrel
