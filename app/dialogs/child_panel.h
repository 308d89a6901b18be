// A modeless panel that floats inside the view as a small tool window: a title bar that moves it
// (it never leaves the view), a close button, and Escape to close it.  The view decides where it
// opens (clear of the strip's traces and of the view's controls) and brings it back with its
// command.
#pragma once

#include <QFrame>

class QLabel;
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

    // Keeps the panel whole inside its parent (after a move or a resize of the parent).
    void KeepInsideParent();

signals:
    // The user closed the panel (close button or Escape).
    void closedByUser();

protected:
    // The area under the title where the panel puts its controls.
    QWidget* Body() const { return body_; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CloseByUser();

    QWidget* titleBar_;
    QLabel* title_;
    QToolButton* close_;
    QWidget* body_;
    QLabel* notice_;
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace vantrel
