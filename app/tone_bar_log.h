// The tone bar's entries in the action log.  Every move of the bar applies its tone at once; what
// is logged depends on how the user moved it.  A step of the keyboard or the wheel is an action
// of its own, logged as it comes.  A move made with the mouse held down (the thumb dragged, an
// arrow or the groove held) is one action: the tone it ends at, logged when the button is released
// or when no further step has come for a moment, at the tick its last step was applied.  So a
// drag across the bar leaves one "Tone N" in a recording, not one per pixel.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>

class QScrollBar;

namespace vantrel {

class CCVantrelDoc;

class ToneBarLog : public QObject {
    Q_OBJECT
public:
    // How long a held move may rest before its tone is logged, milliseconds.
    static constexpr int kQuietMs = 600;

    ToneBarLog(QScrollBar* bar, CCVantrelDoc& doc, QObject* parent);

    // Applies a tone the bar moved to, and logs it now or when the held move ends.
    void Apply(int32_t tone);
    // Logs the tone of a held move now, if one is waiting (the move ended).
    void Flush();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QScrollBar> bar_;
    CCVantrelDoc& doc_;
    QTimer quiet_;             // runs from the last held step; its end logs the move
    bool mouseDown_ = false;   // a mouse button is down on the bar
    bool waiting_ = false;     // a held move has applied tones that are not logged yet
    int32_t toneBefore_ = 0;   // the tone before the held move began: a move back to it logs nothing
    int32_t lastTone_ = 0;     // the held move's latest tone
    int32_t lastTick_ = 0;     // the tick at which lastTone_ was applied
};

}  // namespace vantrel
