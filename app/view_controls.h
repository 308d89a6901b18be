// The view's own kinds of control: a button and lists that also answer the right mouse button,
// and lists that stay readable in a narrow window.
#pragma once

#include <QComboBox>
#include <QContextMenuEvent>
#include <QPushButton>

namespace vantrel {

// A drop-down list that, given less width than its shown entry needs, shortens the shown text
// with an ellipsis and carries the whole of it in its tooltip.  Its drop-down stays as wide as
// its longest entry.
class FittingComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FittingComboBox(QWidget* parent = nullptr);
    // Whether the shown entry is shortened to fit.
    bool TextCut() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int TextWidth() const;  // the room for the shown text, pixels
    void FollowText();      // the tooltip after a change of entry or of width
};

// A push button whose right click opens a setting of the action it starts.
class CButtonR : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
signals:
    void rightClicked();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        emit rightClicked();
        event->accept();
    }
};

// A drop-down list whose right click asks for help about it (drug and sequence lists).
class CComboBoxR : public FittingComboBox {
    Q_OBJECT
public:
    using FittingComboBox::FittingComboBox;
signals:
    void rightClicked();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        emit rightClicked();
        event->accept();
    }
};

// A lead list beside a lower trace of the strip.
class CComboBoxL : public FittingComboBox {
    Q_OBJECT
public:
    using FittingComboBox::FittingComboBox;
};

}  // namespace vantrel
