// How the engine and the model reader talk to whoever shows them: the desktop view (window
// messages as events, message boxes) or the headless runner (stderr).  The core never includes a
// user-interface library; it only calls this interface.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// Window-message numbers the engine and the reader send to the view.
enum ViewMessage : int32_t {
    kMsgRedraw = 1025,       // every 20 ticks: draw the new part of the strip, sample the rate
    kMsgModelTitle = 1027,   // a load finished: show the model title
    kMsgCellChanged = 1033,  // a cell step returned an event: wParam tickCount, lParam cell index
    kMsgTone = 1035,         // the tone was set or ramped: wParam the new tone
    kMsgDrugEnded = 1036,    // the drug's automatic end ran: drug list back to its first entry
    kMsgSequenceEnded = 1037,  // the sequence's automatic end ran: sequence list back to entry 0
    kMsgSyncPaint = 136,     // redraw the heart picture with new electrode marks
};

class EngineNotifier {
public:
    virtual ~EngineNotifier() = default;
    // Queued delivery: returns at once (the clock thread never waits for the interface).
    virtual void Post(int32_t message, int32_t wParam, int32_t lParam) = 0;
    // Synchronous delivery on the calling thread (step-by-step mode).
    virtual void Send(int32_t message, int32_t wParam, int32_t lParam) { Post(message, wParam, lParam); }
    // A message box with a title; texts are Western European 8-bit bytes.
    virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
    // The program must end after the message it has shown (fatal model error).
    virtual void EndProgram() = 0;
};

// Drops every notification: the record's notifier until someone installs one, and the engine's
// tests and benchmarks.
class SilentNotifier : public EngineNotifier {
public:
    void Post(int32_t, int32_t, int32_t) override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}
    static SilentNotifier& Instance();
};

}  // namespace vantrel
