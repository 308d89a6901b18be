// The engine's window messages as Qt events delivered to the view, and the notifier that the heart
// record calls to deliver them.  The clock thread only posts (it never waits for the interface);
// step-by-step mode, which ticks on the interface thread, sends.
#pragma once

#include <QEvent>
#include <QPointer>
#include <atomic>

#include "engine/notifier.h"

namespace vantrel {

// Qt reserves event numbers below QEvent::User; messages numbered there (136) are moved up by
// QEvent::User, the others keep their own number.
constexpr QEvent::Type EventTypeOf(int32_t message) {
    return static_cast<QEvent::Type>(message >= QEvent::User ? message : QEvent::User + message);
}

class EngineEvent : public QEvent {
public:
    EngineEvent(int32_t message, int32_t wParam, int32_t lParam)
        : QEvent(EventTypeOf(message)), message(message), wParam(wParam), lParam(lParam) {}
    const int32_t message;
    const int32_t wParam;
    const int32_t lParam;
};

// Delivers the engine's messages to the view once the view is known (its first paint); until then
// they are dropped, as nothing may reach a view that does not exist yet.  Message boxes are shown
// modally on the interface thread; EndProgram asks the application to end in order.
class ViewNotifier : public EngineNotifier {
public:
    void SetTarget(QObject* view);
    void Post(int32_t message, int32_t wParam, int32_t lParam) override;
    void Send(int32_t message, int32_t wParam, int32_t lParam) override;
    void ShowMessage(const std::string& title, const std::string& text) override;
    void EndProgram() override;
    // True once EndProgram has been called (a fatal model error).
    bool EndRequested() const { return endRequested_.load(); }

private:
    std::atomic<QObject*> target_{nullptr};
    std::atomic<bool> endRequested_{false};
};

}  // namespace vantrel
