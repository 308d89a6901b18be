#include "app/tone_bar_log.h"

#include <QEvent>
#include <QScrollBar>

#include "app/engine_control.h"

namespace vantrel {

ToneBarLog::ToneBarLog(QScrollBar* bar, CCVantrelDoc& doc, QObject* parent)
    : QObject(parent), bar_(bar), doc_(doc) {
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &ToneBarLog::Flush);
    // The press is seen before the bar acts on it, so that the step a press makes (an arrow, the
    // groove) already counts as held.
    bar->installEventFilter(this);
    connect(bar, &QScrollBar::sliderReleased, this, &ToneBarLog::Flush);
}

bool ToneBarLog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            mouseDown_ = true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            mouseDown_ = false;
            // After the bar has handled the release (its last step, the end of a drag).
            QMetaObject::invokeMethod(this, &ToneBarLog::Flush, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ToneBarLog::Apply(int32_t tone) {
    EngineControl engine(doc_);
    if (!mouseDown_ && !(bar_ && bar_->isSliderDown())) {
        Flush();  // a held move that has just ended comes first
        engine.SetTone(tone);
        return;
    }
    if (!waiting_) {
        waiting_ = true;
        toneBefore_ = engine.Tone();
    }
    lastTick_ = engine.ApplyTone(tone);
    lastTone_ = tone;
    quiet_.start();
}

void ToneBarLog::Flush() {
    quiet_.stop();
    if (!waiting_) return;
    waiting_ = false;
    if (lastTone_ != toneBefore_) EngineControl(doc_).LogToneAt(lastTick_, lastTone_);
}

}  // namespace vantrel
