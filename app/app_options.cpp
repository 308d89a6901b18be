#include "app/app_options.h"

#include <cstdlib>

namespace vantrel {

namespace {

bool ParseSeconds(const std::string& text, double& seconds) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value >= 0) || value > 86400) return false;
    seconds = value;
    return true;
}

}  // namespace

AppOptions ParseAppOptions(const std::vector<std::string>& arguments) {
    AppOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "/XCS" || a == "--xcs") {
            options.showChecksum = true;
        } else if (a == "/NOCS" || a == "--nocs") {
            options.skipChecksum = true;
        } else if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--data" || a == "--screenshot" || a == "--quit-after" || a == "--print-frozen" ||
                   a == "--report") {
            if (!hasValue) {
                options.error = a + " needs a value";
                return options;
            }
            const std::string& value = arguments[++i];
            if (a == "--data") {
                options.dataDirectory = value;
            } else if (a == "--screenshot") {
                options.screenshotFile = value;
            } else if (a == "--print-frozen") {
                options.printFrozenFile = value;
            } else if (a == "--report") {
                options.reportFile = value;
            } else if (!ParseSeconds(value, options.quitAfterSeconds)) {
                options.error = "--quit-after needs a number of seconds, not \"" + value + "\"";
                return options;
            }
        } else {
            options.error = "unknown option \"" + a + "\"";
            return options;
        }
    }
    if (!options.screenshotFile.empty() && options.quitAfterSeconds < 0) options.quitAfterSeconds = 5;
    // The printed pages want some history: 45 s fill the six strips, 10 s the report.
    if (!options.printFrozenFile.empty() && options.quitAfterSeconds < 0) options.quitAfterSeconds = 45;
    if (!options.reportFile.empty() && options.quitAfterSeconds < 0) options.quitAfterSeconds = 12;
    return options;
}

std::string AppUsage() {
    return "Usage: vantrel [--data DIR] [--screenshot FILE.png] [--print-frozen FILE.pdf] [--report FILE.pdf]\n"
           "               [--quit-after SECONDS] [/XCS] [/NOCS]\n"
           "  --data DIR            program directory holding Clinic/, Drugs/ and Seq/\n"
           "                        (default: the data folder shipped with the build)\n"
           "  --screenshot FILE     after the simulation has run --quit-after seconds of simulated\n"
           "                        time (default 5), save the main window as a PNG and quit\n"
           "  --print-frozen FILE   after --quit-after seconds (default 45), freeze the ECG and print\n"
           "                        six strips of the last 43 s to FILE as a PDF page, then quit\n"
           "  --report FILE         after --quit-after seconds (default 12), print the 12-lead\n"
           "                        report of the last 10 s to FILE as a PDF page, then quit\n"
           "  --quit-after SECONDS  quit after that much simulated running time\n"
           "  /XCS, --xcs           show a model's computed checksum\n"
           "  /NOCS, --nocs         skip the model checksum comparison\n";
}

}  // namespace vantrel
