// The main window: menu, toolbar and status bar around the view.  Every command is one QAction
// built from the command table; its enabled and checked states follow the view's update rules.
#pragma once

#include <QHash>
#include <QMainWindow>

#include "app/screen_layout.h"

class QAction;
class QLabel;

namespace vantrel {

class CCVantrelDoc;
class CCVantrelView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CCVantrelDoc& doc, const ScreenLayout& layout);

    CCVantrelView* View() const { return view_; }
    QAction* Action(int commandId) const { return actions_.value(commandId); }
    // Refreshes every action's enabled and checked state from the update rules.
    void UpdateCommandStates();
    // Renames the menu from the loaded language's menu section.
    void TranslateMenu();

    // The layout size of this screen: its width, and its height less half a menu bar and a
    // caption.
    static ScreenLayout MeasureScreen();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void OnCommand(int id);

    CCVantrelDoc& doc_;
    CCVantrelView* view_;
    QHash<int, QAction*> actions_;
};

}  // namespace vantrel
