#include "engine/periodic_timer.h"

#include <utility>

namespace vantrel {

void PeriodicTimer::Start(std::chrono::microseconds period, std::function<void()> callback) {
    Stop();
    callback_ = std::move(callback);
    stopRequested_.store(false);
    thread_ = std::thread([this, period] { Run(period); });
}

void PeriodicTimer::Stop() {
    stopRequested_.store(true);
    if (thread_.joinable()) thread_.join();
}

void PeriodicTimer::Run(std::chrono::microseconds period) {
    using Clock = std::chrono::steady_clock;
    auto next = Clock::now() + period;
    while (!stopRequested_.load()) {
        std::this_thread::sleep_until(next);
        if (stopRequested_.load()) break;
        callback_();
        next += period;
        // After a stall (a suspended laptop, a debugger) the timer resumes its rhythm from now
        // instead of firing the missed periods in a burst.
        const auto now = Clock::now();
        if (now > next + 10 * period) next = now + period;
    }
}

}  // namespace vantrel
