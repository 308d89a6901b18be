// Start-up of the desktop program: the document, then the frame with its view, shown; and the
// scripted screenshot run.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/app_options.h"

class QPixmap;

namespace vantrel {

class CCVantrelDoc;
class CMainFrame;

// Makes "Arial" resolve to a metric-compatible face wherever the program runs.
void InstallArialFont();

// The data folder that ships with the build.
std::filesystem::path ShippedDataDirectory();

struct DesktopSession {
    std::unique_ptr<CCVantrelDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

// Builds the document and the frame (not yet shown).  Needs a QApplication.
DesktopSession CreateDesktop(const AppOptions& options);

// Scripted runs (--quit-after, --screenshot): the Welcome dialog closes by itself; once the
// simulation has run the asked simulated time the main window is grabbed into the screenshot
// file, closed the normal way and the event loop left with `exitStatus`, which is set to 1 when
// the file cannot be written and otherwise left as it was.  Call before showing the frame.
void ArmScriptedRun(DesktopSession& session, const AppOptions& options, int& exitStatus);

// Saves the main window's picture as a PNG, safely: `file` is replaced only once the whole
// picture has been written.  False with the reason in `why` when it could not be.
bool SaveScreenshot(const QPixmap& shot, const std::string& file, std::string& why);

// Runs the whole program: options, start-up, event loop.  Returns the exit status.
int RunDesktop(int argc, char** argv);

}  // namespace vantrel
