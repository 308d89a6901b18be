// Shared pieces of the clock tests: a notifier that records every message, thread-safely.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/notifier.h"

namespace vantrel::testing {

struct Message {
    int32_t message, wParam, lParam;
    bool sent;  // delivered with Send rather than Post
};

class RecordingNotifier : public EngineNotifier {
public:
    void Post(int32_t m, int32_t w, int32_t l) override { Add({m, w, l, false}); }
    void Send(int32_t m, int32_t w, int32_t l) override {
        Add({m, w, l, true});
        if (onSend) onSend(m, w, l);
    }
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}

    int Count(int32_t message) {
        std::lock_guard<std::mutex> g(mutex_);
        int n = 0;
        for (const Message& m : messages_) n += m.message == message;
        return n;
    }
    std::vector<Message> Messages() {
        std::lock_guard<std::mutex> g(mutex_);
        return messages_;
    }
    void Clear() {
        std::lock_guard<std::mutex> g(mutex_);
        messages_.clear();
    }
    // Runs on the sending thread inside Send, like the view's synchronous handler.
    std::function<void(int32_t, int32_t, int32_t)> onSend;

private:
    void Add(Message m) {
        std::lock_guard<std::mutex> g(mutex_);
        messages_.push_back(m);
    }
    std::mutex mutex_;
    std::vector<Message> messages_;
};

}  // namespace vantrel::testing
