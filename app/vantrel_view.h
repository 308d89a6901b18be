// The view: hosts the simulation clock, every child control and the four screens (heart model,
// ECG, frozen ECG, comments in full screen), and handles the engine's messages.  Everything drawn
// goes into an off-screen canvas of the layout size first (at the screen's device pixel ratio);
// painting copies the canvas, so the incremental drawing of the strip and of single cells never
// waits for a full repaint.
//
// Layout: the layout size follows the view's size (ScreenLayout::FromView); a resize lays the
// screen out again.  Every rectangle of a screen comes from Rects() (app/view_layout.h); a screen
// added later takes its rectangle there and follows layoutChanged().  Tool panels open through
// OpenPanel(), clear of the strip's traces and of the view's controls.
#pragma once

#include <QImage>
#include <QList>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>
#include <string>

#include "app/screen_layout.h"
#include "app/view_layout.h"
#include "display/ui/heart_picture_2d.h"
#include "display/ui/heart_picture_3d.h"
#include "display/ui/heart_picture_mouse.h"
#include "display/ui/twelve_lead_report.h"
#include "engine/simulation_clock.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollBar;
class QTimer;

namespace vantrel {

class CCVantrelDoc;
class CReglage;
class CButtonR;
class HTMLReader;
class QueuedWake;
class ToneBarLog;
class CComboBoxL;
class CComboBoxR;
class CMainDlg;
class CPACE;
class CORTHO;
class ChildPanel;
class EngineEvent;

// The screens the view shows.
enum DisplayModeValue : int32_t {
    kScreenHeart = 1,
    kScreenEcg = 2,
    kScreenFrozen = 3,
    kScreenComments = 4,
};

class CCVantrelView : public QWidget {
    Q_OBJECT
public:
    CCVantrelView(CCVantrelDoc& doc, const ScreenLayout& layout, QWidget* parent);
    ~CCVantrelView() override;

    // Commands routed from the frame.  A command whose rule disables it is ignored.
    bool IsCommandEnabled(int id) const;
    bool IsCommandChecked(int id) const;
    void Execute(int id);
    // The page the model's comments name, in the current language (after every list filling and
    // every change of language).
    void ShowModelCommentPage();

    // The clock's run mode: -1 not started, 0 paused, 1 normal, 3 slow, 10 ultra slow.
    int32_t RunMode() const { return clock_.RunMode(); }
    void SetRunMode(int32_t mode) { clock_.SetRunMode(mode); }
    SimulationClock& Clock() { return clock_; }
    int32_t DisplayMode() const { return displayMode_; }
    bool ClockLive() const { return clockLive_ != 0; }
    bool WelcomeShown() const { return welcomePending_ == 0; }
    bool CommentsFullScreen() const { return commentsFullScreen_ != 0; }

    // Writes the settings file (the frame is about to close).
    void WriteSettingsFile();

    // The canvas everything is drawn into; tests read its pixels.
    const QImage& Canvas() const { return canvas_; }
    // The layout size now in force, and the rectangles of the screen shown.
    const ScreenLayout& Layout() const { return layout_; }
    ViewRects Rects() const { return ComputeViewRects(layout_, displayMode_); }
    // Shows a tool panel of the view where it covers no trace band of the strip, no control and
    // no other panel, nor (as far as it can) the picture; where no place holds it whole, it takes
    // the largest clear room and scrolls its controls (app/view_panels.cpp).
    void OpenPanel(ChildPanel* panel);
    // The rectangles a panel must never cover on the screen shown: the trace bands, the frozen
    // screen's trend and every visible control of the view.
    std::vector<QRect> PanelForbiddenRects() const;
    // The tool panels of the view, for tests: premature beats, pacemaker, stimulator.
    CMainDlg* PrematurePanel() const { return prematurePanel_; }
    CPACE* PacemakerPanel() const { return pacemakerDialog_; }
    CORTHO* StimulatorPanel() const { return stimulatorDialog_; }
    // The flat heart picture of the heart-model screen and its click handling.
    HeartPicture2D& Picture() { return *picture_; }
    // The 3D picture (F8) and whether it is the one shown on the heart-model screen.
    HeartPicture3D& Picture3D() { return *picture3d_; }
    bool Heart3D() const { return heart3d_; }
    const HeartPictureMouse& PictureMouse() const { return *pictureMouse_; }
    CCVantrelDoc& Document() { return doc_; }

    // The tone scroll-bar position that shows a tone.
    static int32_t PositionOfTone(int32_t tone) { return 200 - tone / 5; }

    // When set, the Welcome dialog closes by itself once shown (scripted runs).
    void SetWelcomeClosesItself(bool closes) { welcomeClosesItself_ = closes; }
    // Scripted runs and tests: the drug and sequence confirmations answer themselves, 1 with
    // their OK button, -1 with their cancel button; 0 (the default) waits for the user.
    void SetTherapyAnswer(int answer) { therapyAnswer_ = answer; }

    // Scripted runs: freeze, then print six strips ending 36, 29, 22, 15, 8 and 1 s before the
    // freeze to a PDF file; false when the file could not be written.
    bool ScriptFrozenPage(const QString& pdfPath);
    // Scripted runs: the 12-lead report of the last 10 s to a PDF file.
    bool ScriptReport(const QString& pdfPath);
    // Print jobs go to this PDF file without the print dialog (scripts, tests); empty: dialog.
    void SetPrintTarget(const QString& pdfPath) { printTarget_ = pdfPath; }
    // The frozen screen's position and print queue, for tests.
    int32_t FrozenOffset() const { return frozenOffset_; }
    int32_t PrintCount() const { return printCount_; }

signals:
    // The model title changed (message 1027): the frame shows it in its caption.
    void titleChanged(const QString& title);
    // Something that the command rules read has changed.
    void commandStateChanged();
    // The simulation has started running after the Welcome dialog (clockLive set).
    void simulationStarted();
    // A language was loaded (first paint, "Choose language"): the frame renames the menu.
    void languageApplied();
    // A message for the status bar: why an action did nothing.
    void statusMessage(const QString& text);
    // The layout size changed (a resize): screens and panels lay themselves out again.
    void layoutChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Context help: a right click on the view itself (not one a child control answers).
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Takes the layout of the view's current size; a change lays the screen out again.
    void FollowViewSize();
    void ApplyLayout(const ScreenLayout& layout);
    // Moves the open panels that now cover a trace band, a control or one another, or that a
    // larger view may now show whole (new screen or size).
    void KeepPanelsClear();
    // Places the open panels: `opening` (may be null) whole where it fits beside the others,
    // else all of them again, sharing the room.
    void ArrangePanels(ChildPanel* opening);
    QList<ChildPanel*> Panels() const;
    // Draws the samples that arrived since the last drawing (about 60 times a second).
    void DrawNewSamples();
    // "START"/"EMERGENCY" without an electrode on the lead, a pacemaker lead not placed: says why.
    bool ElectrodeReadyForStimulator(int lead, bool starting);
    // announce: say it in the status bar too; otherwise only the dialog's notice follows.
    void CheckPacemakerLeads(bool announce = true);
    // After a placement: the notices whose electrode or lead is now placed go away.
    void RefreshLeadNotices();
    // Start-up and painting.
    void FirstPaint();
    void Invalidate();
    void PaintScreen(QPainter& p);
    void PaintHeartScreen(QPainter& p, bool newLayout);
    void PaintEcgScreen(QPainter& p, bool newLayout);
    void PaintCommentsScreen(QPainter& p, bool newLayout);
    void LayOutControls();
    // The row under the heart picture, over as many lines as its texts need; returns the top of
    // its topmost line (app/view_rows.cpp).
    int LayOutPictureRow(const ViewRects& rects);
    // The view's own control texts in the language now in force (after "Choose language").
    void TranslateControls();
    void ShowHeartScreenControls();
    void ShowEcgScreenControls();
    void HideScreenControls();
    void ShowWelcome(int chapter);
    void PlaceCommentPage();
    void StartAfterWelcome();

    // The place where the heart picture is drawn: the left half of the heart-model screen.
    void DrawHeartPicture(QPainter& p);
    // A redraw of the heart picture (new electrode marks, arrest).
    void RedrawHeart();
    // Draws the cells whose cell-changed messages arrived since the last flush.
    void FlushCellRepaints();
    int32_t PictureStyle() const;

    // Engine messages.
    void OnRedrawMessage();
    void OnModelTitle();
    void OnCellChanged(int32_t tickOfMessage, int32_t cellIndex);
    void OnTone(int32_t tone);
    void OnDrugEnded();
    void OnSequenceEnded();
    void OnSyncPaint();
    void SampleHeartRate();

    // Screen switches and commands.
    void SwitchScreen(int32_t mode);
    void ToggleSpeed();
    void StepByStep();
    void ApplyTonePosition(int32_t position);
    void OnLeadsChanged();
    void OnDrugChosen(int index);
    void OnSequenceChosen(int index);
    // The drug and sequence lists from the control panel's entries and selections.
    void RefillTherapyLists();
    void ShowTherapySelections();
    // Load commands: the model, then the lists; true when the load succeeded.
    bool LoadAndRefill(const std::string& fileName, bool clearPresets);
    void LoadHeartModel();
    void ReloadModel();
    // The bigeminy boxes of the premature-beat panel show the engine's programs (after a load).
    void ShowBigeminyState();
    void ChooseLanguage();
    void OnSpeedChanged();
    void OnStyleChanged();
    void PlaceElectrodeButton(int electrode);
    void UpdateElectrodeCaption(int electrode);
    void ShowAbout();
    void ShowPrinterSetup();
    int32_t SinusRateAtTone(int32_t tone);

    // The 3D picture's controls and the arrest (vantrel_view_3d.cpp).
    void Create3DControls();
    // `topOfRows`: the top of the topmost line of the row under the picture.
    void LayOut3DControls(int topOfRows);
    void Show3DControls(bool shown);
    void OnAngleBarAction(QScrollBar* bar, int action);
    void ShowHeart3D();
    // The 3D picture follows the view's layout size, picture rectangle and pixel ratio.
    void Sync3DLayout();
    // The arrest declared by the rate monitor: the 3D skeleton plays it, the status bar and the
    // picture say how to start again.
    void DeclareArrest();
    // A cardioversion given while the heart is arrested ends the arrest when it can.
    void ShockDuringArrest();
    bool ArrestRefusesSpeed();
    void ShowStatus(const QString& text);
    // The PR/QT recording button (127) and the plot (F2).
    void ToggleRecordIntervals();
    void ShowIntervalPlot();

    // The frozen screen and printing (app/view_frozen.cpp).
    void PaintFrozenScreen(QPainter& p, bool newLayout);
    void Freeze();
    void DrawFrozenAt(int32_t position);
    void MoveFrozen(bool earlier);
    bool OnFrozenClick(const QPoint& at);
    void PrintStrip();
    void PrintPending();
    void StartPrintJob();
    void PrintReport();
    // The printer of the next job: the print dialog's choice, or the PDF target; false when
    // the user cancelled.
    bool ChoosePrinter(bool landscape);
    void ReportPrintResult(bool printed);
    QString LeadName(int list) const;
    TwelveLeadReport ReportData();
    void MeasuredIntervals(int32_t& prMs, int32_t& qtMs);
    // "Record ECG file": the frozen 15 minutes to a file the user names.
    void RecordEcgFile();

    CCVantrelDoc& doc_;
    CReglage& tone_;  // the document's tone panel; its windows are this view's children
    ToneBarLog* toneLog_ = nullptr;  // the tone bar's moves in the action log, from the first paint
    ScreenLayout layout_;
    QImage canvas_;
    bool fullPaintPending_ = true;
    bool keepTraces_ = false;  // the next new layout redraws the last screenful (a resize)
    QTimer* sweepTimer_ = nullptr;

    // What the clock does on the interface thread in step-by-step mode: redraw the strip.
    class StepHooks : public ClockHooks {
    public:
        explicit StepHooks(CCVantrelView& view) : view_(view) {}
        void OnStepFinished() override;
        void OnRedrawBeat() override;
        void OnStepSample(const EcgSample& sample) override;

    private:
        CCVantrelView& view_;
    };
    StepHooks stepHooks_{*this};
    SimulationClock clock_;

    // What the heart picture's click handler asks of the view.
    class PictureHost : public HeartPictureHost {
    public:
        explicit PictureHost(CCVantrelView& view) : view_(view) {}
        void OpenCellSetting(int32_t cell) override;
        void RepaintView() override { view_.Invalidate(); }
        void RedrawLink(int32_t link) override;
        void RedrawHeart() override {
            view_.RedrawHeart();
            view_.RefreshLeadNotices();
        }
        void SetIcButtonCaption(int k, const QString& caption) override;
        void ShowPlacingCursor(bool on) override;
        bool LinkClicksOff() const override;
        int32_t HitCell3D(int32_t x, int32_t y) const override;
        int32_t HitLink3D(int32_t x, int32_t y) const override;
        void ElectrodePlaced(int32_t electrode, int32_t cell) override;

    private:
        CCVantrelView& view_;
    };
    PictureHost pictureHost_{*this};
    std::unique_ptr<HeartPicture2D> picture_;
    std::unique_ptr<HeartPicture3D> picture3d_;
    QueuedWake* regionStartWake_ = nullptr;  // asks the interface thread to start the 3D regions
    std::unique_ptr<HeartPictureMouse> pictureMouse_;  // holds the electrode placement waiting

    int32_t displayMode_ = kScreenHeart;
    int32_t previousMode_ = 0;
    int32_t firstPaintPending_ = 1;
    int32_t welcomePending_ = 1;
    int32_t clockLive_ = 0;
    int32_t commentsFullScreen_ = 0;
    HTMLReader* commentPage_ = nullptr;  // the model's comment page, created at the first paint
    int32_t commentRefreshPending_ = 0;
    int32_t printCount_ = 0;
    int32_t frozenOffset_ = 0;
    int32_t liveSpeedSelection_ = 1;    // "25"
    int32_t frozenSpeedSelection_ = 2;  // "50"
    int32_t samplingCounter_ = 0;       // hundredths of the 5 s rate sampling period
    bool heart3d_ = false;
    bool welcomeClosesItself_ = false;
    int therapyAnswer_ = 0;
    std::string settingsText_;

    // Controls.
    CButtonR* vpbButton_ = nullptr;
    CButtonR* svpbButton_ = nullptr;
    QCheckBox* chamberBox_[4] = {};
    QPushButton* electrodeButton_[4] = {};
    CComboBoxL* leadList_[3] = {};
    QComboBox* speedList_ = nullptr;
    CComboBoxR* drugList_ = nullptr;
    CComboBoxR* sequenceList_ = nullptr;
    QComboBox* styleList_ = nullptr;
    QLabel* prLabel_ = nullptr;
    QLabel* qtLabel_ = nullptr;
    QLabel* elapsedLabel_ = nullptr;
    QScrollBar* azimuthBar_ = nullptr;
    QScrollBar* elevationBar_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    CMainDlg* prematurePanel_ = nullptr;
    CPACE* pacemakerDialog_ = nullptr;
    CORTHO* stimulatorDialog_ = nullptr;
    std::unique_ptr<QPrinter> printer_;  // the printer chosen in the set-up dialog, for the run
    QString printTarget_;                // see SetPrintTarget
    bool lastPrintFailed_ = false;
    int32_t frozenPrMs_ = -1, frozenQtMs_ = -1;  // the engine's PR and QT at the freeze
};

}  // namespace vantrel
