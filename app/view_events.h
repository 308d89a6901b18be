// The engine's window messages as Qt events delivered to the view, and the notifier that the heart
// record calls to deliver them.  The clock thread only posts (it never waits for the interface);
// step-by-step mode, which ticks on the interface thread, sends.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

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

class ViewNotifier;

// Wakes the interface thread to deliver what the clock thread has handed over.  It lives on the
// interface thread as a child of the view, and is called by name through a queued call that
// carries nothing of ours: everything handed over goes through the notifier's own lock, which the
// thread checker sees, never through the toolkit's event queue, whose lock it cannot see.
class HandOverWaker : public QObject {
    Q_OBJECT
public:
    HandOverWaker(ViewNotifier& notifier, QObject* view) : QObject(view), notifier_(notifier) {}
    Q_INVOKABLE void Deliver();

private:
    ViewNotifier& notifier_;
};

// Delivers the engine's messages to the view once the view is known (its first paint); until then
// they are dropped, as nothing may reach a view that does not exist yet.  Message boxes are shown
// modally on the interface thread; EndProgram asks the application to end in order.
//
// What the clock thread hands over goes through a queue of our own under a mutex, and one bare
// queued call per batch wakes the interface thread to deliver it (HandOverWaker): the hand-over is
// then visible to the thread checker (the toolkit's own queue locks in ways it cannot see), and a
// burst of cell notices costs one wake-up instead of one toolkit event each.
class ViewNotifier : public EngineNotifier {
public:
    void SetTarget(QObject* view);
    void Post(int32_t message, int32_t wParam, int32_t lParam) override;
    void Send(int32_t message, int32_t wParam, int32_t lParam) override;
    void ShowMessage(const std::string& title, const std::string& text) override;
    void EndProgram() override;
    // True once EndProgram has been called (a fatal model error).
    bool EndRequested() const { return endRequested_.load(); }

    // Scripted runs: every message box of the run (not only this notifier's) also goes to stderr
    // and closes itself shortly after it is shown, so that nobody has to be there to press OK.
    void SetMessagesCloseThemselves(bool closes);
    // The message boxes shown so far (title, text), oldest first.
    const std::vector<std::pair<std::string, std::string>>& ShownMessages() const { return shown_; }

private:
    friend class HandOverWaker;
    void ShowNow(const std::string& title, const std::string& text);
    // From another thread: queues the call and wakes the interface thread for the batch.
    void HandOver(std::function<void()> call);
    void DeliverHandedOver();

    std::atomic<QObject*> target_{nullptr};
    std::atomic<HandOverWaker*> waker_{nullptr};  // a child of the target, on its thread
    std::mutex handOverLock_;
    std::vector<std::function<void()>> handedOver_;  // guarded by handOverLock_
    std::atomic<bool> endRequested_{false};
    std::vector<std::pair<std::string, std::string>> shown_;
};

// Stands in for the view's notifier while the interface thread holds the model lock for a load:
// the reader's message boxes and its request to end the program wait until the lock has been
// released (a modal box runs an event loop whose handlers lock the model), and so do the window
// messages, which are passed on only if the load stands.
class HeldBackNotifier : public EngineNotifier {
public:
    explicit HeldBackNotifier(EngineNotifier& target) : target_(target) {}
    void Post(int32_t message, int32_t wParam, int32_t lParam) override {
        posted_.push_back({message, wParam, lParam});
    }
    void Send(int32_t message, int32_t wParam, int32_t lParam) override { Post(message, wParam, lParam); }
    void ShowMessage(const std::string& title, const std::string& text) override {
        messages_.emplace_back(title, text);
    }
    void EndProgram() override { endRequested_ = true; }
    bool HoldsMessages() const { return !messages_.empty(); }

    enum class Outcome {
        Delivered,  // the load stands: its messages are posted, then its boxes shown
        Undone,     // the previous model was put back: only the boxes are shown
    };
    // Call without the lock.  An end request is passed on only when the load stands.
    void Release(Outcome outcome);

private:
    struct Posted {
        int32_t message, wParam, lParam;
    };
    EngineNotifier& target_;
    std::vector<Posted> posted_;
    std::vector<std::pair<std::string, std::string>> messages_;
    bool endRequested_ = false;
};

}  // namespace vantrel
