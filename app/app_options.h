// The desktop program's command line: the program directory, scripted screenshots, and the model
// reader's checksum switches.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct AppOptions {
    std::string dataDirectory;    // the program directory (Clinic/, Drugs/, Seq/); empty: shipped data
    std::string screenshotFile;   // grab the main window into this PNG, then quit
    double quitAfterSeconds = -1;  // simulated running time before the grab; < 0: never quit
    std::string printFrozenFile;  // freeze, print the page of frozen strips to this PDF, then quit
    std::string reportFile;       // print the 12-lead report of the last 10 s to this PDF, then quit
    bool showChecksum = false;     // "/XCS": show a model's computed checksum
    bool skipChecksum = false;     // "/NOCS": skip the checksum comparison
    bool help = false;
    std::string error;  // not empty: the command line could not be understood
};

// Parses the arguments left after the toolkit took its own (argv[0] excluded).
AppOptions ParseAppOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string AppUsage();

}  // namespace vantrel
