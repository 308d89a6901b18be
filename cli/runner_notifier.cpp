#include "cli/runner_notifier.h"

#include <cstdio>

#include "model/windows1252.h"

namespace vantrel {

void RunnerNotifier::ShowMessage(const std::string& title, const std::string& text) {
    if (!suppressed_.empty() && text == suppressed_) return;
    const std::string line = Windows1252ToUtf8(title) + ": " + Windows1252ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
}

}  // namespace vantrel
