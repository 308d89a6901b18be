// The tone panel: the autonomic-tone scroll bar with its labels at the left edge of the view.
// The document owns it for the whole run; its windows are children of the view, created at the
// view's first paint, so they go with the view.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QScrollBar>

namespace vantrel {

class CReglage {
public:
    // Creates the five statics and the scroll bar (range 0..200, position 114) as children of
    // `view`; the heart-rate value starts hidden.  `font` is the panel's small font.
    void Create(QWidget* view, const QFont& font);

    QPointer<QLabel> svbLabel;        // "SVB"
    QPointer<QScrollBar> toneBar;     // position p stands for the tone (200 - p) * 5
    QPointer<QLabel> toneValue;       // the tone, 0..999
    QPointer<QLabel> arLabel;         // "AR"
    QPointer<QLabel> heartRateValue;  // the rate-cell heart rate, "%3dbpm"
    QPointer<QLabel> sinusRateValue;  // the sinus rate at the current tone
};

}  // namespace vantrel
