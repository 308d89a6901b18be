#include "app/unattended_messages.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstdio>

namespace vantrel {

namespace {

constexpr const char* kWatcherName = "UnattendedMessageBoxes";
constexpr const char* kAnsweredProperty = "vantrelAnsweredUnattended";
// Long enough for a screenshot of the box to be taken in a test, short for a scripted run.
constexpr int kAnswerDelayMs = 300;

// The button a user would most likely press: the default one, else the one Escape presses.
void Answer(QMessageBox* box) {
    QAbstractButton* button = box->defaultButton();
    if (!button) button = box->escapeButton();
    if (!button && !box->buttons().isEmpty()) button = box->buttons().first();
    if (button)
        button->click();
    else
        box->done(0);
}

class MessageBoxWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (!box || box->property(kAnsweredProperty).toBool()) return false;
        box->setProperty(kAnsweredProperty, true);
        QString line = box->windowTitle() + ": " + box->text();
        if (!box->informativeText().isEmpty()) line += " " + box->informativeText();
        std::fprintf(stderr, "vantrel: %s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
        QPointer<QMessageBox> answered(box);
        QTimer::singleShot(kAnswerDelayMs, box, [answered] {
            if (answered && answered->isVisible()) Answer(answered);
        });
        return false;
    }
};

}  // namespace

void AnswerMessageBoxesUnattended() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->findChild<QObject*>(kWatcherName, Qt::FindDirectChildrenOnly)) return;
    auto* watcher = new MessageBoxWatcher(app);
    watcher->setObjectName(kWatcherName);
    app->installEventFilter(watcher);
}

}  // namespace vantrel
