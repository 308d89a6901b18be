// A periodic timer on a thread of its own: calls a function every period until stopped.  The
// simulation clock runs on it with a period of 5 ms.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace vantrel {

class PeriodicTimer {
public:
    PeriodicTimer() = default;
    ~PeriodicTimer() { Stop(); }
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // Starts calling `callback` every `period` on the timer's thread; a running timer is stopped
    // first.
    void Start(std::chrono::microseconds period, std::function<void()> callback);
    // Stops and joins the thread; after it returns the callback is not running and never runs
    // again.  Safe to call when not started.  Never call it from the callback itself.
    void Stop();
    bool Running() const { return thread_.joinable(); }

private:
    void Run(std::chrono::microseconds period);

    std::function<void()> callback_;
    std::atomic<bool> stopRequested_{false};
    std::thread thread_;
};

}  // namespace vantrel
