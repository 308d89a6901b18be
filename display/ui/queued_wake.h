// A wake-up of the interface thread from another thread (the clock, a worker): the other thread
// only asks, by name, for a queued call of Run(); what Run() does was decided on the interface
// thread when the object was made.  Whatever the other thread hands over must go through a lock
// of our own: the toolkit's queue then carries no data of ours, and the thread checker can follow
// every hand-over (a queued lambda would be built on one thread and read on the other through the
// toolkit's own lock, which the checker cannot see).
#pragma once

#include <QObject>
#include <functional>

namespace vantrel {

class QueuedWake : public QObject {
    Q_OBJECT
public:
    // Made on the interface thread, as a child of an object living there.
    QueuedWake(std::function<void()> run, QObject* parent) : QObject(parent), run_(std::move(run)) {}
    // From any thread.
    void Wake() { QMetaObject::invokeMethod(this, "Run", Qt::QueuedConnection); }
    Q_INVOKABLE void Run() { run_(); }

private:
    std::function<void()> run_;
};

}  // namespace vantrel
