#include "app/view_events.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "app/ui_text.h"
#include "app/unattended_messages.h"

namespace vantrel {

void ViewNotifier::SetTarget(QObject* view) {
    // The waker is made on the interface thread before the clock thread can see it.
    waker_.store(view ? new HandOverWaker(*this, view) : nullptr);
    target_.store(view);
    if (!view) {
        // The wake-up of what is still queued went with the old view (and its waker).
        std::lock_guard<std::mutex> guard(handOverLock_);
        handedOver_.clear();
    }
}

void HandOverWaker::Deliver() { notifier_.DeliverHandedOver(); }

void ViewNotifier::SetMessagesCloseThemselves(bool closes) {
    if (closes) AnswerMessageBoxesUnattended();
}

void ViewNotifier::Post(int32_t message, int32_t wParam, int32_t lParam) {
    QObject* target = target_.load();
    if (!target) return;
    if (QThread::currentThread() == target->thread()) {
        QCoreApplication::postEvent(target, new EngineEvent(message, wParam, lParam));
        return;
    }
    HandOver([this, message, wParam, lParam] {
        if (QObject* view = target_.load()) {
            EngineEvent event(message, wParam, lParam);
            QCoreApplication::sendEvent(view, &event);
        }
    });
}

void ViewNotifier::HandOver(std::function<void()> call) {
    HandOverWaker* waker = waker_.load();
    if (!waker) return;
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(handOverLock_);
        wake = handedOver_.empty();
        handedOver_.push_back(std::move(call));
    }
    // A call by name: the toolkit builds and frees the queued event itself, so nothing written
    // here is read there without our lock.  Once the view is gone, its waker and the wake-up go
    // with it.
    if (wake) QMetaObject::invokeMethod(waker, "Deliver", Qt::QueuedConnection);
}

void ViewNotifier::DeliverHandedOver() {
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard<std::mutex> guard(handOverLock_);
        calls.swap(handedOver_);
    }
    for (std::function<void()>& call : calls) call();
}

void ViewNotifier::Send(int32_t message, int32_t wParam, int32_t lParam) {
    QObject* target = target_.load();
    if (!target) return;
    if (QThread::currentThread() != target->thread()) {
        Post(message, wParam, lParam);  // only the interface thread may deliver synchronously
        return;
    }
    EngineEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
}

void ViewNotifier::ShowMessage(const std::string& title, const std::string& text) {
    if (QThread::currentThread() == qApp->thread()) {
        ShowNow(title, text);
    } else {
        // Never block the clock thread on a dialog: show it from the interface thread.
        HandOver([this, title, text] { ShowNow(title, text); });
    }
}

void ViewNotifier::ShowNow(const std::string& title, const std::string& text) {
    shown_.emplace_back(title, text);
    QMessageBox box(QMessageBox::Warning, FromWestern(title), FromWestern(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName("EngineMessage");
    box.exec();
}

void ViewNotifier::EndProgram() {
    endRequested_.store(true);
    // Before the view is shown the start-up code sees EndRequested() and returns without a
    // window.  Afterwards the windows are closed the normal way (the settings file is written)
    // and the event loop ends with a failure status.
    if (!target_.load()) return;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            QApplication::closeAllWindows();
            QCoreApplication::exit(1);
        },
        Qt::QueuedConnection);
}

void HeldBackNotifier::Release(Outcome outcome) {
    const auto posted = std::move(posted_);
    const auto messages = std::move(messages_);
    posted_.clear();
    messages_.clear();
    if (outcome == Outcome::Delivered)
        for (const Posted& p : posted) target_.Post(p.message, p.wParam, p.lParam);
    for (const auto& [title, text] : messages) target_.ShowMessage(title, text);
    if (endRequested_ && outcome == Outcome::Delivered) target_.EndProgram();
    endRequested_ = false;
}

}  // namespace vantrel
