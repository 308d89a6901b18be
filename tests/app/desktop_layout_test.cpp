// The desktop's layout at the window sizes users have, from an old 800 x 600 screen and a netbook
// to a 4K screen, in English and in French: the strip's traces stay free of panels and controls,
// no control covers another or shows a cut text, the panels stay inside the view, the heart
// picture fills its half; the tool panels close and come back; a button that cannot act says why.
//
// With VANTREL_SHOT_DIR set, the main window is saved there at every size and screen, to look at.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QToolButton>

#include <algorithm>

#include "app/command_table.h"
#include "app/control_flow.h"
#include "app/panel_placement.h"
#include "app/dialogs/cell_dialog.h"
#include "app/dialogs/child_panel.h"
#include "app/dialogs/coupling_dialog.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/stimulator_dialog.h"
#include "app/dialogs/therapy_confirm_dialog.h"
#include "app/view_controls.h"
#include "display/ui/rate_trend.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

struct WindowSize {
    int width, height;
};
// {0, 0}: the window that holds the smallest view the layout is made for.
constexpr WindowSize kSmallestView = {0, 0};
constexpr WindowSize kWindowSizes[] = {kSmallestView, {800, 600},   {1024, 600},
                                       {1024, 640},   {1366, 768},  {1920, 1080}, {3840, 2160}};

// The room a push button's style gives its text.
int ButtonTextRoom(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
}

// The notices of a stimulator or pacemaker that cannot act, in the language in force: the
// electrode notice whole, and how the pacemaker's notice starts and names a lead.
struct LeadNotices {
    const char* electrode;
    const char* pacemakerStart;
    const char* leadWord;
};

class DesktopLayoutTest : public DesktopTest {
protected:
    void CheckButtonsThatCannotActSayWhy(const LeadNotices& texts);
    void ResizeWindow(WindowSize size) {
        Frame().setWindowState(Qt::WindowNoState);
        if (size.width == 0) {
            // The frame's own room (menu, toolbar, status bar) around a view of the smallest size.
            const QSize room = Frame().size() - View().size();
            size = {ScreenLayout::kMinViewWidth + room.width(), ScreenLayout::kMinViewHeight + room.height()};
        }
        Frame().resize(size.width, size.height);
        QApplication::processEvents();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return View().Layout() == ScreenLayout::FromView(View().width(), View().height()); }, 2000));
        Settle();
    }
    void Command(int id) {
        Frame().Action(id)->trigger();
        Settle();
    }
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QTest::qWait(10);
        }
    }
    void SaveShot(const char* language, const char* screen) {
        const QString dir = qEnvironmentVariable("VANTREL_SHOT_DIR");
        if (dir.isEmpty()) return;
        Frame().grab().save(QDir(dir).filePath(
            QStringLiteral("%1x%2_%3_%4.png").arg(Frame().width()).arg(Frame().height()).arg(language, screen)));
    }
    void CloseAllPanels() {
        for (ChildPanel* panel : View().findChildren<ChildPanel*>()) panel->hide();
        Settle();
    }
    QList<ChildPanel*> OpenPanels() {
        QList<ChildPanel*> open;
        for (ChildPanel* panel : View().findChildren<ChildPanel*>())
            if (panel->isVisible()) open << panel;
        return open;
    }
    // What must hold on any screen at any size: no panel on a trace, on a control, on the frozen
    // screen's trend or on another panel; every panel whole inside the view with its own controls
    // whole; the view's controls clear of one another with their texts whole.
    void CheckLayout(const char* where) {
        const ViewRects rects = View().Rects();
        const QRect view = View().rect();
        std::vector<QRect> neverCovered(std::begin(rects.traceBands), std::end(rects.traceBands));
        neverCovered.push_back(rects.trendPanel);
        const QList<ChildPanel*> panels = OpenPanels();
        for (ChildPanel* panel : panels) {
            const QRect r = panel->geometry();
            const std::string name = panel->objectName().toStdString();
            EXPECT_TRUE(view.contains(r)) << where << ": " << name << " leaves the view";
            for (const QRect& band : neverCovered)
                EXPECT_FALSE(r.intersects(band))
                    << where << ": " << name << " covers " << band.left() << ".." << band.right() << " x "
                    << band.top() << ".." << band.bottom();
            for (ChildPanel* other : panels)
                EXPECT_TRUE(other == panel || !r.intersects(other->geometry()))
                    << where << ": " << name << " and " << other->objectName().toStdString() << " overlap";
            CheckPanelContents(panel, where);
        }
        for (QWidget* control : ViewControls()) {
            const QRect r = control->geometry();
            const std::string name = NameOf(control);
            EXPECT_TRUE(view.contains(r)) << where << ": control " << name << " leaves the view";
            for (const QRect& band : neverCovered)
                EXPECT_FALSE(r.intersects(band)) << where << ": control " << name << " covers a trace or the trend";
            for (ChildPanel* panel : panels)
                EXPECT_FALSE(r.intersects(panel->geometry()))
                    << where << ": " << panel->objectName().toStdString() << " covers control " << name;
        }
        CheckControls(where);
    }
    static std::string NameOf(const QWidget* control) {
        const QString text = control->property("text").toString();
        return (control->objectName() + " " + control->metaObject()->className() + (text.isEmpty() ? "" : " \"" + text + "\""))
            .toStdString();
    }
    // The view's own shown controls (the comment page is text to read, not a control).
    std::vector<QWidget*> ViewControls() {
        std::vector<QWidget*> controls;
        for (QWidget* control : View().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!control->isVisible() || qobject_cast<ChildPanel*>(control)) continue;
            if (control->inherits("QTextBrowser")) continue;
            controls.push_back(control);
        }
        return controls;
    }
    // A text control shows its text whole: a button within its style's room, a label or a box at
    // its hinted width.
    static void CheckTextWhole(QWidget* control, const char* where) {
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            const QStringList lines = button->text().split('\n');
            int widest = 0;
            for (const QString& line : lines) widest = std::max(widest, button->fontMetrics().horizontalAdvance(line));
            EXPECT_LE(widest, ButtonTextRoom(button))
                << where << ": the text of " << NameOf(button) << " is cut at width " << button->width();
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()) + 8, edit->width())
                << where << ": the value of " << NameOf(edit) << " is cut at width " << edit->width();
        } else if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control)) {
            if (auto* label = qobject_cast<QLabel*>(control); label && label->wordWrap()) return;
            EXPECT_LE(control->sizeHint().width(), control->width()) << where << ": the text of " << NameOf(control) << " is cut";
        }
    }
    // A panel's own controls: each inside what the panel shows of it (or inside the scrolled
    // contents, when the panel is smaller than they are and scrolls), with its text whole.
    static void CheckPanelContents(ChildPanel* panel, const char* where) {
        // Given the size it asks for, a panel shows its controls whole, without a scroll bar.
        if (panel->width() >= panel->sizeHint().width() && panel->height() >= panel->sizeHint().height()) {
            for (QScrollArea* area : panel->findChildren<QScrollArea*>())
                EXPECT_FALSE(area->horizontalScrollBar()->isVisible() || area->verticalScrollBar()->isVisible())
                    << where << ": " << panel->objectName().toStdString() << " scrolls at its own size";
        }
        for (QWidget* control : panel->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(panel) || qobject_cast<QScrollArea*>(control)) continue;
            // What holds it whole: the panel, or the contents of a scroll area of the panel
            // (whose viewport and scroll bars are the area's own, not controls to check).
            QWidget* holder = panel;
            bool scrollAreaPart = false;
            for (QWidget* up = control; up && up != panel; up = up->parentWidget()) {
                QWidget* parent = up->parentWidget();
                auto* area = parent ? qobject_cast<QScrollArea*>(parent->parentWidget()) : nullptr;
                if (area && up == area->widget()) {
                    holder = up;
                    break;
                }
                if (qobject_cast<QScrollArea*>(parent)) scrollAreaPart = true;
            }
            if (scrollAreaPart || control == holder) continue;
            const QRect r(control->mapTo(holder, QPoint(0, 0)), control->size());
            EXPECT_TRUE(holder->rect().contains(r))
                << where << ": " << NameOf(control) << " of " << panel->objectName().toStdString() << " is cut";
            if (control->objectName() == "PanelTitle") {
                // A title too long for a narrow panel ends in "..." with the whole of it in its tooltip.
                auto* title = qobject_cast<QLabel*>(control);
                if (title->text() != panel->Title())
                    EXPECT_EQ(title->toolTip(), panel->Title()) << where << ": the title of a narrow panel";
                else
                    EXPECT_LE(title->fontMetrics().horizontalAdvance(title->text()), title->contentsRect().width())
                        << where << ": the title " << NameOf(title) << " is cut";
            } else if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
                       qobject_cast<QLineEdit*>(control)) {
                CheckTextWhole(control, where);
            }
        }
    }
    // The view's own controls: none covers another, and every text shows whole (a list may shorten
    // its shown entry when its tooltip carries the whole of it).
    void CheckControls(const char* where) {
        const std::vector<QWidget*> controls = ViewControls();
        for (size_t i = 0; i < controls.size(); ++i)
            for (size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << where << ": " << NameOf(controls[i]) << " and " << NameOf(controls[j]) << " overlap";
        for (QWidget* control : controls) {
            if (auto* list = qobject_cast<FittingComboBox*>(control)) {
                if (list->TextCut()) {
                    EXPECT_EQ(list->toolTip(), list->currentText())
                        << where << ": " << NameOf(list) << " is cut without its whole text in a tooltip";
                }
            } else if (qobject_cast<QComboBox*>(control)) {
                ADD_FAILURE() << where << ": " << NameOf(control) << " cannot shorten its text";
            } else if (!qobject_cast<QToolButton*>(control)) {
                CheckTextWhole(control, where);
            }
        }
    }
    // Every screen at every size, in the language the program started in.
    void CheckEveryScreenAtEverySize(const char* language) {
        for (const WindowSize& size : kWindowSizes) {
            SCOPED_TRACE(::testing::Message() << language << ", " << size.width << " x " << size.height);
            ResizeWindow(size);
            CheckEveryScreen(language);
        }
    }
    void CheckEveryScreen(const char* language);
};

// The screens, each alone (with the panel it brings) and then with the pacemaker and the
// stimulator opened over it.
struct ScreenCase {
    const char* name;
    int command;
    int leave;  // the command that leaves the screen again; 0 = the next screen's own
};
constexpr ScreenCase kScreens[] = {{"heart", kCmdHeart2d, 0},
                                   {"comments", kCmdCommentsFull, kCmdCommentsNormal},
                                   {"heart3d", kCmdHeart3d, 0},
                                   {"ecg", kCmdEcgScreen, 0},
                                   {"frozen", kCmdFrozenScreen, 0}};

void DesktopLayoutTest::CheckEveryScreen(const char* language) {
    const ScreenLayout layout = View().Layout();
    EXPECT_EQ(layout.layoutWidth, View().width());
    EXPECT_EQ(layout.displayScale, layout.layoutHeight * 1000 / 630);
    EXPECT_EQ(Doc().strip.StripRight(), layout.layoutWidth - 10);
    EXPECT_LE(Doc().strip.StripBottom(), View().height()) << "the strip is cut off";

    for (const ScreenCase& screen : kScreens) {
        SCOPED_TRACE(screen.name);
        // The pacemaker and the stimulator stay open from the screen before (the first screen
        // finds them open from the size before).
        Command(screen.command);
        ASSERT_EQ(View().DisplayMode(), screen.command == kCmdFrozenScreen    ? kScreenFrozen
                                        : screen.command == kCmdEcgScreen     ? kScreenEcg
                                        : screen.command == kCmdCommentsFull ? kScreenComments
                                                                              : kScreenHeart);
        CheckLayout("with the panels left open on the screen before");
        CloseAllPanels();
        // The ECG screen brings the premature-beat panel: entered again, it opens it.
        if (screen.command == kCmdEcgScreen) {
            Command(kCmdHeart2d);
            Command(kCmdEcgScreen);
            EXPECT_TRUE(View().PrematurePanel()->isVisible());
        }
        // "Stop" in place of "Record" on the 3D screen: the wider of the two.
        if (screen.command == kCmdHeart3d) QTest::mouseClick(Child<QPushButton>("RecordButton"), Qt::LeftButton);
        if (screen.command == kCmdFrozenScreen) {
            // The trend ends above the strip, clear of every trace.
            EXPECT_LT(TrendPanelRect(layout.layoutWidth, Doc().strip.StripTop()).bottom(), Doc().strip.StripTop());
            for (const QRect& band : View().Rects().traceBands) EXPECT_FALSE(View().Rects().trendPanel.intersects(band));
        }
        CheckLayout("alone");
        Command(kCmdPacemaker);
        Command(kCmdStimulator);
        CheckLayout("with the pacemaker and the stimulator");
        SaveShot(language, screen.name);
        if (screen.command == kCmdHeart3d) QTest::mouseClick(Child<QPushButton>("RecordButton"), Qt::LeftButton);
        if (screen.leave) Command(screen.leave);
    }

    // The flat heart fills its half: inside the picture's rectangle, and across most of it on
    // one axis at least (the same scale on both).
    Command(kCmdHeart2d);
    CloseAllPanels();
    const ViewRects rects = View().Rects();
    const QRect model = View().Picture().FittedModelBox();
    EXPECT_TRUE(rects.picture.contains(model)) << "the model leaves its rectangle";
    EXPECT_LT(model.right(), View().width() / 2);
    EXPECT_TRUE(model.width() >= rects.picture.width() * 8 / 10 || model.height() >= rects.picture.height() * 8 / 10)
        << "the model covers " << model.width() << " x " << model.height() << " of " << rects.picture.width()
        << " x " << rects.picture.height();
}

TEST(ControlFlowTest, TheFewestLinesAtFullWidthThenAtLeastWidthThenEverythingCut) {
    // Two fixed items of 50, then a list of 100 that may shrink to 40 and takes the rest of its
    // line; 4 pixels between neighbours.
    const std::vector<FlowItem> items = {{50, 0, false}, {50, 0, false}, {100, 40, true}};
    struct Case {
        std::vector<FlowLine> lines;  // top to bottom
        bool fits;
        int lineCount;
        std::vector<FlowPlacement> placed;
    } cases[] = {
        // One line holds all at full width; the list takes the rest.
        {{{0, 300}}, true, 1, {{0, 0, 50}, {0, 54, 50}, {0, 108, 192}}},
        // The bottom line of 200 holds them only with the list shrunk: two lines at full width
        // come first, the list alone on the bottom line.
        {{{0, 120}, {0, 200}}, true, 2, {{0, 0, 50}, {0, 54, 50}, {1, 0, 200}}},
        // Only one line of 200: the list shrinks, then takes what is left.
        {{{0, 200}}, true, 1, {{0, 0, 50}, {0, 54, 50}, {0, 108, 92}}},
        // Nothing holds them: the list is cut to the end of the line.
        {{{0, 130}}, false, 1, {{0, 0, 50}, {0, 54, 50}, {0, 108, 22}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lines.size() << " lines, the bottom one " << c.lines.back().right);
        const FlowResult flow = FlowControls(items, c.lines, 4);
        EXPECT_EQ(flow.fits, c.fits);
        EXPECT_EQ(flow.lineCount, c.lineCount);
        ASSERT_EQ(flow.items.size(), c.placed.size());
        for (size_t i = 0; i < c.placed.size(); ++i) {
            EXPECT_EQ(flow.items[i].line, c.placed[i].line) << "item " << i;
            EXPECT_EQ(flow.items[i].x, c.placed[i].x) << "item " << i;
            EXPECT_EQ(flow.items[i].width, c.placed[i].width) << "item " << i;
        }
    }
}

TEST(PanelPlacementTest, WholeWhereItFitsElseTheClearRoomThatShowsMostWithItsScrollBars) {
    // A view of 400 x 200; scroll bars 10 pixels; the least room 40 x 40.
    const QRect bounds(0, 0, 400, 200);
    const QRect lowerBand(0, 60, 400, 140);  // leaves 400 x 60 at the top
    const QRect rightPart(130, 0, 270, 200);  // leaves 130 x 200 at the left
    struct Case {
        const char* what;
        std::vector<QSize> shapes;
        std::vector<QRect> forbidden;
        bool fits;
        QRect rect;
        size_t shape;
    } cases[] = {
        {"whole at the preferred corner", {{100, 50}}, {}, true, {0, 0, 100, 50}, 0},
        {"lower than it is: a scroll bar down its side", {{100, 100}}, {lowerBand}, true, {0, 0, 110, 60}, 0},
        {"the arrangement that fits whole", {{300, 80}, {120, 180}}, {rightPart}, true, {0, 0, 120, 180}, 1},
        {"none whole: the one that shows most", {{300, 80}, {120, 180}}, {lowerBand}, true, {0, 0, 310, 60}, 0},
        {"no room of the least size", {{100, 100}}, {QRect(30, 0, 370, 200), QRect(0, 30, 30, 170)}, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShrunkPlacement at =
            PlaceShrinkingPanel({c.shapes, {40, 40}, 10}, bounds.size(), bounds, c.forbidden, {}, QPoint(0, 0));
        EXPECT_EQ(at.fits, c.fits);
        if (!c.fits) continue;
        EXPECT_EQ(at.rect, c.rect);
        EXPECT_EQ(at.shape, c.shape);
        for (const QRect& f : c.forbidden) EXPECT_FALSE(at.rect.intersects(f));
    }
}

TEST(PanelPlacementTest, PanelsThatCannotAllBeWholeShareTheRoom) {
    // Two panels of 300 x 80 in a view of 400 x 100: rather than one whole and the other a slit
    // of 100, each takes half and scrolls.
    const QRect bounds(0, 0, 400, 100);
    const PanelRequest panel{{{300, 80}}, {60, 40}, 10};
    const std::vector<ShrunkPlacement> placed = ArrangePanels({panel, panel}, bounds, {}, {}, QPoint(0, 0));
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_TRUE(placed[0].fits && placed[1].fits);
    EXPECT_EQ(placed[0].rect, QRect(0, 0, 200, 90));
    EXPECT_EQ(placed[1].rect, QRect(200, 0, 200, 90));
    EXPECT_FALSE(placed[0].rect.intersects(placed[1].rect));
}

TEST_F(DesktopLayoutTest, EveryScreenHoldsAtEveryWindowSizeInEnglish) {
    Start();
    CheckEveryScreenAtEverySize("en");
}

TEST_F(DesktopLayoutTest, EveryScreenHoldsAtEveryWindowSizeInFrench) {
    std::filesystem::copy_file(std::filesystem::path(VANTREL_DATA_DIR) / "CVantrelFrancais_FR.LNG",
                               data_ / "CVantrelFrancais_FR.LNG");
    WriteSettingsText("Language 1;\r\n");
    Start();
    ASSERT_EQ(Child<QPushButton>("RecordButton")->text(), "Enregistrer");
    CheckEveryScreenAtEverySize("fr");
}

TEST_F(DesktopLayoutTest, TheWindowIsNeverMadeSmallerThanTheSmallestView) {
    Start();
    Frame().setWindowState(Qt::WindowNoState);
    Frame().resize(320, 200);
    QApplication::processEvents();
    EXPECT_GE(View().width(), ScreenLayout::kMinViewWidth);
    EXPECT_GE(View().height(), ScreenLayout::kMinViewHeight);
}

// The dialogs the menus and clicks open and the Welcome dialog, in English and in French: each opens within
// the screen it opens on, and can be made small enough for the smallest screen the program is made
// for (a view of 640 x 400 in its window: 640 x 480) with its texts whole and its controls clear of
// one another.
TEST_F(DesktopLayoutTest, DialogsFitTheSmallestScreenWithTheirTextsWhole) {
    std::filesystem::copy_file(std::filesystem::path(VANTREL_DATA_DIR) / "CVantrelFrancais_FR.LNG",
                               data_ / "CVantrelFrancais_FR.LNG");
    // The screen less the room of a window's frame and caption.
    const QSize smallestScreen(640 - 12, 480 - 34);
    auto checkDialog = [&](QWidget* dialog) {
        const std::string name = dialog->metaObject()->className();
        const QSize screen = dialog->screen()->availableSize();
        EXPECT_TRUE(dialog->width() <= screen.width() && dialog->height() <= screen.height())
            << name << " opens larger than its screen";
        const QSize least = dialog->minimumSize().expandedTo(dialog->minimumSizeHint());
        EXPECT_LE(least.width(), smallestScreen.width()) << name << " is wider than the smallest screen";
        EXPECT_LE(least.height(), smallestScreen.height()) << name << " is higher than the smallest screen";
        dialog->resize(least);
        QApplication::processEvents();
        const std::string where = name + " at its least size";
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(dialog)) continue;
            if (auto* label = qobject_cast<QLabel*>(control); label && (label->wordWrap() || label->text().contains('<')))
                continue;
            if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control)) {
                CheckTextWhole(control, where.c_str());
                for (QWidget* sibling : control->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    EXPECT_TRUE(sibling == control || !sibling->isVisibleTo(dialog) ||
                                !sibling->geometry().intersects(control->geometry()))
                        << where << ": " << NameOf(control) << " and " << NameOf(sibling) << " overlap";
            }
        }
    };
    constexpr int kDialogCommands[] = {kCmdParameters, kCmdSetupApplication, kCmdLanguage, kCmdAdvanced,
                                       kCmdLoadHeart,  kCmdAbout,            kCmdAboutHeart, kCmdPrQtPlot};
    for (const char* language : {"en", "fr"}) {
        SCOPED_TRACE(language);
        if (std::string(language) == "fr") {
            session_.frame.reset();
            session_.doc.reset();
            WriteSettingsText("Language 1;\r\n");
        }
        bool welcomeSeen = false;
        OnNextModal([&](QWidget* welcome) {
            welcomeSeen = true;
            checkDialog(welcome);
        });
        Start(false);
        ASSERT_TRUE(QTest::qWaitFor([this] { return View().ClockLive(); }, 5000));
        EXPECT_TRUE(welcomeSeen);
        for (int command : kDialogCommands) {
            SCOPED_TRACE(::testing::Message() << "command " << command);
            bool seen = false;
            OnNextModal([&](QWidget* dialog) {
                seen = true;
                checkDialog(dialog);
            });
            Frame().Action(command)->trigger();
            QTest::qWait(50);
            EXPECT_TRUE(seen) << "no dialog opened";
        }
        // The dialogs that a click opens: a cell's, the coupling time's, a drug's and a sequence's.
        std::vector<std::unique_ptr<QDialog>> clicked;
        clicked.push_back(std::make_unique<Cdlg_Cell>(Doc().heart, 0, &View()));
        clicked.push_back(std::make_unique<CAdjustCT>(Doc().heart, true, &View()));
        clicked.push_back(std::make_unique<CDrug2>("Class IC\r\nSlows conduction.", &View()));
        clicked.push_back(std::make_unique<CSelectSeq>("A sequence.", &View()));
        for (const std::unique_ptr<QDialog>& dialog : clicked) {
            dialog->show();
            QApplication::processEvents();
            checkDialog(dialog.get());
            dialog->hide();
        }
    }
}

TEST_F(DesktopLayoutTest, AResizeKeepsOpenPanelsOffTheTraces) {
    Start();
    ResizeWindow({1920, 1080});
    Command(kCmdEcgScreen);
    Command(kCmdStimulator);
    Command(kCmdPacemaker);
    ResizeWindow({1024, 640});
    CheckLayout("after shrinking the window");
    ResizeWindow({3840, 2160});
    CheckLayout("after growing the window");
}

TEST_F(DesktopLayoutTest, PanelsCloseWithEscapeOrTheirButtonAndComeBack) {
    Start();
    ResizeWindow({1366, 768});
    CORTHO* stimulator = View().StimulatorPanel();
    Command(kCmdStimulator);
    ASSERT_TRUE(stimulator->isVisible());
    QTest::keyClick(stimulator->FieldEdit(0), Qt::Key_Escape);
    EXPECT_FALSE(stimulator->isVisible()) << "Escape closes the stimulator";
    Command(kCmdStimulator);
    EXPECT_TRUE(stimulator->isVisible()) << "the Tools menu brings it back";
    QTest::mouseClick(stimulator->CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(stimulator->isVisible()) << "the close button closes it";

    CPACE* pacemaker = View().PacemakerPanel();
    Command(kCmdPacemaker);
    ASSERT_TRUE(pacemaker->isVisible());
    QTest::keyClick(pacemaker->FieldEdit(0), Qt::Key_Escape);
    EXPECT_FALSE(pacemaker->isVisible());

    CMainDlg* premature = View().PrematurePanel();
    Command(kCmdEcgScreen);
    ASSERT_TRUE(premature->isVisible());
    QTest::mouseClick(premature->CloseButton(), Qt::LeftButton);
    Settle();
    EXPECT_FALSE(premature->isVisible());
    View().update();
    Settle();
    EXPECT_FALSE(premature->isVisible()) << "a repaint leaves a closed panel closed";
    Command(kCmdHeart2d);
    Command(kCmdEcgScreen);
    EXPECT_TRUE(premature->isVisible()) << "the ECG screen brings it back";
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(premature->isVisible()) << "Escape in the view closes the panel on top";
}

void DesktopLayoutTest::CheckButtonsThatCannotActSayWhy(const LeadNotices& texts) {
    // The test heart's electrodes are not placed (no electrodes in the settings).
    CCVantrelView& view = View();
    CORTHO* stimulator = view.StimulatorPanel();
    Command(kCmdStimulator);
    QTest::mouseClick(stimulator->StartButton(), Qt::LeftButton);
    const QString expected = QString::fromUtf8(texts.electrode);
    EXPECT_EQ(stimulator->Notice(), expected);
    EXPECT_EQ(Frame().statusBar()->currentMessage(), expected);
    QTest::mouseClick(stimulator->EmergencyButton(), Qt::LeftButton);
    EXPECT_EQ(stimulator->Notice(), expected) << "emergency pacing needs the electrode too";

    CPACE* pacemaker = view.PacemakerPanel();
    Command(kCmdPacemaker);
    pacemaker->ModeList()->setCurrentIndex(kPmVvi);
    QPushButton* ok = nullptr;
    for (QPushButton* button : pacemaker->findChildren<QPushButton*>())
        if (button->text() == "OK") ok = button;
    ASSERT_TRUE(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    Settle();
    const QString leadV = QString::fromUtf8(texts.leadWord) + " V ";
    const QString leadA = QString::fromUtf8(texts.leadWord) + " A";
    EXPECT_FALSE(pacemaker->isVisible()) << "OK applies and closes the dialog";
    EXPECT_TRUE(pacemaker->Notice().contains(leadV)) << pacemaker->Notice().toStdString();
    EXPECT_FALSE(pacemaker->Notice().contains(leadA)) << "VVI does not use the atrial lead";
    EXPECT_TRUE(Frame().statusBar()->currentMessage().startsWith(QString::fromUtf8(texts.pacemakerStart)))
        << Frame().statusBar()->currentMessage().toStdString();
    Command(kCmdPacemaker);
    EXPECT_TRUE(pacemaker->Notice().contains(leadV)) << "the reason shows when the dialog opens again";
}

TEST_F(DesktopLayoutTest, AButtonThatCannotActSaysWhy) {
    Start();
    CheckButtonsThatCannotActSayWhy(
        {"Place I.C.1 on a cell first: click I.C.1, then a cell", "Place the pacemaker lead V", "lead"});
}

TEST_F(DesktopLayoutTest, AButtonThatCannotActSaysWhyInFrench) {
    std::filesystem::copy_file(std::filesystem::path(VANTREL_DATA_DIR) / "CVantrelFrancais_FR.LNG",
                               data_ / "CVantrelFrancais_FR.LNG");
    WriteSettingsText("Language 1;\r\n");
    Start();
    CheckButtonsThatCannotActSayWhy({"Placez d'abord I.C.1 sur une cellule : cliquez sur I.C.1, puis sur une cellule",
                                     "Placez d'abord la sonde V du stimulateur cardiaque", "sonde"});
}

}  // namespace
}  // namespace vantrel
