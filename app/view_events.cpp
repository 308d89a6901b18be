#include "app/view_events.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include "app/ui_text.h"

namespace vantrel {

void ViewNotifier::SetTarget(QObject* view) { target_.store(view); }

void ViewNotifier::Post(int32_t message, int32_t wParam, int32_t lParam) {
    QObject* target = target_.load();
    if (target) QCoreApplication::postEvent(target, new EngineEvent(message, wParam, lParam));
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
    const QString qtitle = FromWestern(title);
    const QString qtext = FromWestern(text);
    if (QThread::currentThread() == qApp->thread()) {
        QMessageBox::warning(QApplication::activeWindow(), qtitle, qtext);
    } else {
        // Never block the clock thread on a dialog: show it from the interface thread.
        QMetaObject::invokeMethod(qApp, [qtitle, qtext] { QMessageBox::warning(nullptr, qtitle, qtext); },
                                  Qt::QueuedConnection);
    }
}

void ViewNotifier::EndProgram() {
    endRequested_.store(true);
    // Once the event loop runs, close the windows the normal way and leave with a failure status;
    // before it runs, the start-up code sees EndRequested() and returns.
    QMetaObject::invokeMethod(
        qApp,
        [] {
            QApplication::closeAllWindows();
            QCoreApplication::exit(1);
        },
        Qt::QueuedConnection);
}

}  // namespace vantrel
