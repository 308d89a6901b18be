// How the headless runner shows what the desktop would show in message boxes: one line on
// stderr, "Title: text", in UTF-8.  A fatal model error is remembered so that the runner can
// exit with status 2 once it has said what it has to say.
#pragma once

#include <cstdint>
#include <string>

#include "engine/notifier.h"

namespace vantrel {

class RunnerNotifier : public EngineNotifier {
public:
    void Post(int32_t, int32_t, int32_t) override {}
    void ShowMessage(const std::string& title, const std::string& text) override;
    void EndProgram() override { programEnded_ = true; }

    bool ProgramEnded() const { return programEnded_; }
    // A message text not to print (the runner says instead what it means).
    void Suppress(std::string text) { suppressed_ = std::move(text); }

private:
    bool programEnded_ = false;
    std::string suppressed_;
};

}  // namespace vantrel
