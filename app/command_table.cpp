#include "app/command_table.h"

namespace vantrel {

namespace {

constexpr const char* kFile = "&File";
constexpr const char* kDisplay = "&Display";
constexpr const char* kAdjust = "&Adjust";
constexpr const char* kTools = "&Tools";
constexpr const char* kStepRun = "&Step and Run";
constexpr const char* kNavigate = "&Navigate";
constexpr const char* kLanguage = "&Language";
constexpr const char* kHelp = "&?";

constexpr const char* kMenus[] = {kFile, kDisplay, kAdjust, kTools, kStepRun, kNavigate, kLanguage, kHelp};

constexpr CommandInfo kCommands[] = {
    {kCmdLoadHeart, kFile, "Load Heart model", "", "Load another heart model", "Load Heart model", false},
    {kCmdPrint, kFile, "Print ECG strip", "Ctrl+P", "Queue the shown frozen strip for printing, or print the queue",
     "Print ECG strip", false},
    {kCmdReport, kFile, "Print 12-lead report", "", "Print the last 10 seconds as a 12-lead report",
     "Print 12-lead report", false},
    {kCmdPrintSetup, kFile, "Set &Up Printer", "", "Change the printer and printing options", "Printer set-up", false},
    {kCmdQuit, kFile, "&Quit", "", "Quit the application", "Quit", false},
    {kCmdEcgScreen, kDisplay, "&ECG screen", "F5", "Display the ECG on the whole screen", "ECG screen", false},
    {kCmdFrozenScreen, kDisplay, "&Frozen ECG screen", "F6",
     "Freeze ECG and display 5mn HR. Click in HR to display ECG", "Frozen ECG screen", false},
    {kCmdHeart2d, kDisplay, "&2D heart Model", "F7", "Display the heart model in two dimensions", "2D heart Model",
     false},
    {kCmdHeart3d, kDisplay, "3D heart Model", "F8", "Display the heart model in three dimensions", "3D heart Model",
     false},
    {kCmdPrQtPlot, kDisplay, "PR and QT/RR", "F2", "Plot PR and QT against RR", "PR and QT/RR", false},
    {kCmdGrid, kDisplay, "&Grid", "", "Show or hide the grid of the ECG strip", "Grid", true},
    {kCmdTWave, kDisplay, "&T Wave", "", "Switch the T wave synthesis on or off", "T Wave", true},
    {kCmdParameters, kAdjust, "&Parameters Adjustment", "", "Adjust the premature-beat and model parameters",
     "Parameters Adjustment", false},
    {kCmdInitialValues, kAdjust, "&Initial Values", "", "Reload the heart model with its initial values",
     "Initial Values", false},
    {kCmdSetupApplication, kAdjust, "Setup Application", "", "Set up the application", "Setup Application", false},
    {kCmdPacemaker, kTools, "Pacemaker", "", "Set up the implanted pacemaker", "Pacemaker", false},
    {kCmdStimulator, kTools, "Orthorhythmic Stimulator ", "", "Programmed stimulation through an intracardiac lead",
     "Orthorhythmic Stimulator", false},
    {kCmdCardioversion, kTools, "Cardioversion", "", "Deliver a shock to the heart", "Cardioversion", false},
    {kCmdRemodeling, kTools, "Atrial remodeling", "", "Apply atrial remodeling", "Atrial remodeling", false},
    {kCmdRespiration, kTools, "Respiratory arrhythmia", "", "Switch the respiratory arrhythmia on or off",
     "Respiratory arrhythmia", true},
    {kCmdAdvanced, kTools, "Advanced Functions", "", "Advanced functions", "Advanced Functions", false},
    {kCmdStep, kStepRun, "Step  by step", "Space", "Next depolarization", "Next depolarization", false},
    {kCmdSpeed, kStepRun, "&Real time/Slow/USlow", "", "Run Real Time ECG", "Real Time ECG Normal/Slow/Ultra Slow",
     false},
    {kCmdCommentsFull, kNavigate, "Comments in full screen", "", "Show the comment page on the whole screen",
     "Comments in full screen", false},
    {kCmdCommentsNormal, kNavigate, "Comments in normal window", "", "Show the comment page beside the heart",
     "Comments in normal window", false},
    {kCmdLanguage, kLanguage, "Choose language", "", "Choose the language of the program", "Choose language", false},
    {kCmdAbout, kHelp, "&About Vantrel", "", "Program information and version", "About Vantrel", false},
    {kCmdAboutHeart, nullptr, "About the Heart Model", "", "About the heart model", "About the Heart Model", false},
    {kCmdGoBack, nullptr, "Back", "", "Comment page: go back", "Back", false},
    {kCmdGoForward, nullptr, "Forward", "", "Comment page: go forward", "Forward", false},
    {kCmdNoHandler, nullptr, "", "", "", "", false},
    {kCmdRecord, nullptr, "Record ECG file", "", "Record a file with ECG, chronogram, ventilation, markers..",
     "Record ECG file", false},
    {kCmdMoveLeft, nullptr, "Move left", "Left", "Frozen screen: show an earlier stretch", "Move left", false},
    {kCmdMoveRight, nullptr, "Move right", "Right", "Frozen screen: show a later stretch", "Move right", false},
};

constexpr int kToolbar[] = {kCmdEcgScreen, kCmdHeart2d, kCmdHeart3d, kCmdFrozenScreen, 0,
                            kCmdLoadHeart, 0,
                            kCmdPrint, 0,
                            kCmdInitialValues, 0,
                            kCmdCardioversion, 0,
                            kCmdPacemaker, kCmdStimulator, 0,
                            kCmdStep, kCmdSpeed, 0,
                            kCmdCommentsFull, kCmdCommentsNormal, 0,
                            kCmdGoBack, kCmdGoForward, 0,
                            kCmdAboutHeart, 0,
                            kCmdNoHandler, kCmdRecord};

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo* FindCommand(int id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::span<const char* const> MenuTitles() { return kMenus; }

std::span<const int> ToolbarLayout() { return kToolbar; }

}  // namespace vantrel
