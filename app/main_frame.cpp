#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app/command_table.h"
#include "app/toolbar_icons.h"
#include "app/translation/menu_names.h"
#include "app/translation/menu_translation.h"
#include "app/ui_text.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"

namespace vantrel {

ScreenLayout CMainFrame::MeasureScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    const int caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    QMenuBar probe;
    const int menu = probe.sizeHint().height();
    return ScreenLayout::FromScreen(size.width(), size.height(), menu, caption);
}

CMainFrame::CMainFrame(CCVantrelDoc& doc, const ScreenLayout& layout) : doc_(doc) {
    setObjectName("MainFrame");
    view_ = new CCVantrelView(doc, layout, this);
    setCentralWidget(view_);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    // The frame opens maximised; its normal size is the layout size of the screen.  The view
    // takes its layout from its own size, now and after every resize.
    const int caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    move(0, 0);
    resize(layout.layoutWidth, std::max(layout.layoutHeight - caption, 200));
    setWindowState(windowState() | Qt::WindowMaximized);
    connect(view_, &CCVantrelView::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text, 15000); });

    connect(view_, &CCVantrelView::titleChanged, this, [this](const QString& title) { setWindowTitle(title); });
    connect(view_, &CCVantrelView::commandStateChanged, this, &CMainFrame::UpdateCommandStates);
    connect(view_, &CCVantrelView::languageApplied, this, &CMainFrame::TranslateMenu);
    // The framework refreshed the command states when idle; a short timer does it here.
    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    refresh->start(200);
    UpdateCommandStates();
}

void CMainFrame::CreateActions() {
    for (const CommandInfo& info : Commands()) {
        auto* action = new QAction(QString::fromLatin1(info.text), this);
        action->setObjectName(QStringLiteral("cmd%1").arg(info.id));
        action->setData(info.id);
        if (info.key[0]) {
            action->setShortcut(QKeySequence(QString::fromLatin1(info.key)));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        action->setStatusTip(QString::fromLatin1(info.prompt));
        action->setToolTip(QString::fromLatin1(info.tooltip));
        action->setCheckable(info.checkable);
        action->setIcon(ToolbarIcon(info.id));
        action->setIconVisibleInMenu(false);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        // Key-only commands still need a widget to listen for their keys.
        addAction(action);
        actions_.insert(id, action);
    }
}

void CMainFrame::CreateMenus() {
    for (const char* title : MenuTitles()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title));
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
        for (const CommandInfo& info : Commands())
            if (info.menu == title) {
                if (info.id == kCmdQuit) menu->addSeparator();
                menu->addAction(actions_.value(info.id));
            }
    }
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar("Standard");
    bar->setObjectName("ToolBar");
    bar->setIconSize(QSize(16, 15));
    bar->setMovable(true);
    bar->setFloatable(false);
    for (int id : ToolbarLayout()) {
        if (id == 0)
            bar->addSeparator();
        else
            bar->addAction(actions_.value(id));
    }
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    // Lock-key indicators: the platform offers no portable way to read the lock states, so they
    // stand greyed, as they do on the other platform while the key is off.
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(name, bar);
        pane->setEnabled(false);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(36);
        pane->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(pane);
    }
    bar->showMessage(Tr("IDS_READY", "Ready"));
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage(Tr("IDS_READY", "Ready"));
    });
}

void CMainFrame::UpdateCommandStates() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        QAction* action = it.value();
        action->setEnabled(view_->IsCommandEnabled(it.key()));
        if (action->isCheckable()) action->setChecked(view_->IsCommandChecked(it.key()));
    }
}

void CMainFrame::TranslateMenu() {
    vantrel::TranslateMenu(
        doc_.langue.MenuSection(), *menuBar(), [this](int id) { return Action(id); },
        [this](const QString& title, const QString& text) { QMessageBox::warning(this, title, text); });
    // Tooltips and status-bar prompts follow the language at once, as dialogs do.
    for (const CommandInfo& info : Commands()) {
        QAction* action = Action(info.id);
        const char* name = CommandName(info.id);
        if (!action || !name) continue;
        action->setToolTip(FromWestern(Translate(std::string(name) + "_TIP", info.tooltip)));
        action->setStatusTip(FromWestern(Translate(std::string(name) + "_PROMPT", info.prompt)));
    }
    statusBar()->showMessage(Tr("IDS_READY", "Ready"));
}

void CMainFrame::OnCommand(int id) {
    // A command that its rule disables is ignored, also from the keyboard and the toolbar.
    if (!view_->IsCommandEnabled(id)) {
        UpdateCommandStates();
        return;
    }
    view_->Execute(id);
    UpdateCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (doc_.CanCloseFrame())
        event->accept();
    else
        event->ignore();
}

}  // namespace vantrel
