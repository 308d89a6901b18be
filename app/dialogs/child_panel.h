// A modeless panel that floats inside the view as a small tool window: a title bar that moves it
// (it never leaves the view), a close button, and Escape to close it.  The view decides where it
// opens (clear of the strip's traces and of the view's controls) and brings it back with its
// command.  In a small window the view may give it less room than its controls need: they keep
// their own sizes and scroll, and a title too long for the bar ends in "..." with the whole of it
// in its tooltip.
#pragma once

#include <QFrame>
#include <QGroupBox>
#include <functional>
#include <type_traits>
#include <vector>

#include "app/ui_text.h"

class QLabel;
class QScrollArea;
class QToolButton;
class QVBoxLayout;

namespace vantrel {

class ChildPanel : public QFrame {
    Q_OBJECT
public:
    ChildPanel(const QString& title, QWidget* parent);
    void SetTitle(const QString& title);
    QString Title() const;
    QToolButton* CloseButton() const { return close_; }
    // A line under the controls that tells why a button did nothing; empty hides it.
    void SetNotice(const QString& text);
    QString Notice() const;

    // Takes every text of the panel again from the language in force (the user chose another
    // language); the values, choices and place of the panel stay.  An open panel takes the size
    // of its new texts, and the view then finds it a clear place.
    void Retranslate();

    // Keeps the panel whole inside its parent (after a move or a resize of the parent).
    void KeepInsideParent();

    // The size that shows every control whole, and the least room worth giving the panel (its
    // title bar and one line of its controls, which then scroll).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The width and height a scroll bar takes when the panel is given less than its size hint.
    int ScrollBarExtent() const;

signals:
    // The user closed the panel (close button or Escape).
    void closedByUser();
    // The panel asks for other room (a notice appeared, its texts changed language): the view
    // finds it a place again.
    void roomWanted();

protected:
    // The area under the title where the panel puts its controls.
    QWidget* Body() const { return body_; }
    // Runs `setText` now and again at each Retranslate(): for a text taken from the language.
    void KeepTranslated(std::function<void()> setText);
    // The title, and the text (a group box's title) of `widget`, from the language by key.
    void SetTranslatedTitle(const char* key, const char* englishDefault);
    template <class Widget>
    Widget* Translated(Widget* widget, const char* key, const char* englishDefault) {
        KeepTranslated([widget, key, englishDefault] {
            if constexpr (std::is_base_of_v<QGroupBox, Widget>)
                widget->setTitle(Tr(key, englishDefault));
            else
                widget->setText(Tr(key, englishDefault));
        });
        return widget;
    }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CloseByUser();
    void FitTitle();

    QWidget* titleBar_;
    QLabel* title_;
    QString fullTitle_;
    QToolButton* close_;
    QScrollArea* scroll_;  // holds the body: scrolls it when the panel is given less room
    QWidget* body_;
    QLabel* notice_;
    std::vector<std::function<void()>> translatedTexts_;
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace vantrel
