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
        } else if (a == "--data" || a == "--screenshot" || a == "--quit-after") {
            if (!hasValue) {
                options.error = a + " needs a value";
                return options;
            }
            const std::string& value = arguments[++i];
            if (a == "--data") {
                options.dataDirectory = value;
            } else if (a == "--screenshot") {
                options.screenshotFile = value;
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
    return options;
}

std::string AppUsage() {
    return "Usage: vantrel [--data DIR] [--screenshot FILE.png [--quit-after SECONDS]] [/XCS] [/NOCS]\n"
           "  --data DIR            program directory holding Clinic/, Drugs/ and Seq/\n"
           "                        (default: the data folder shipped with the build)\n"
           "  --screenshot FILE     after the simulation has run --quit-after seconds of simulated\n"
           "                        time (default 5), save the main window as a PNG and quit\n"
           "  --quit-after SECONDS  quit after that much simulated running time\n"
           "  /XCS, --xcs           show a model's computed checksum\n"
           "  /NOCS, --nocs         skip the model checksum comparison\n";
}

}  // namespace vantrel
