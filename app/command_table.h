// Every command of the main window: its id, menu, text, key, status-bar prompt and tooltip.  The
// frame builds one QAction per entry, the menus and the toolbar from this one table.
#pragma once

#include <span>

namespace vantrel {

enum CommandId : int {
    kCmdLoadHeart = 32784,
    kCmdPrint = 57607,
    kCmdPrintSetup = 57606,
    kCmdQuit = 57665,
    kCmdEcgScreen = 32776,
    kCmdFrozenScreen = 32779,
    kCmdHeart2d = 32775,
    kCmdHeart3d = 32795,
    kCmdPrQtPlot = 32805,
    kCmdGrid = 32790,
    kCmdTWave = 32780,
    kCmdParameters = 32793,
    kCmdInitialValues = 32781,
    kCmdSetupApplication = 32794,
    kCmdPacemaker = 32797,
    kCmdStimulator = 32798,
    kCmdCardioversion = 32796,
    kCmdRemodeling = 32806,
    kCmdRespiration = 32803,
    kCmdAdvanced = 32800,
    kCmdStep = 32772,
    kCmdSpeed = 32774,
    kCmdCommentsFull = 32782,
    kCmdCommentsNormal = 32783,
    kCmdLanguage = 32801,
    kCmdAbout = 57664,
    kCmdAboutHeart = 32799,
    kCmdGoBack = 32778,
    kCmdGoForward = 32789,
    kCmdNoHandler = 32787,  // a toolbar button without any action: always disabled
    kCmdRecord = 32788,
    kCmdMoveLeft = 32792,
    kCmdMoveRight = 32791,
    kCmdReport = 32810,  // the 12-lead report page
};

struct CommandInfo {
    int id;
    const char* menu;     // menu title, or nullptr for toolbar-only and key-only commands
    const char* text;     // menu text (before translation)
    const char* key;      // QKeySequence text, or ""
    const char* prompt;   // status-bar prompt
    const char* tooltip;  // toolbar tooltip
    bool checkable;
};

// The commands in menu order.
std::span<const CommandInfo> Commands();
const CommandInfo* FindCommand(int id);

// The menu titles in order.
std::span<const char* const> MenuTitles();

// The toolbar in order; 0 stands for a separator.
std::span<const int> ToolbarLayout();

}  // namespace vantrel
