// Start-up of the desktop program: the document, then the frame with its view, shown; and the
// scripted screenshot run.
#pragma once

#include <filesystem>
#include <memory>

#include "app/app_options.h"

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

// Runs the whole program: options, start-up, event loop.  Returns the exit status.
int RunDesktop(int argc, char** argv);

}  // namespace vantrel
