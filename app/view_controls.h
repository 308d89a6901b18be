// The view's own kinds of control: a button and a list that also answer the right mouse button.
#pragma once

#include <QComboBox>
#include <QContextMenuEvent>
#include <QPushButton>

namespace vantrel {

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
class CComboBoxR : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
signals:
    void rightClicked();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        emit rightClicked();
        event->accept();
    }
};

// A lead list beside a lower trace of the strip.
class CComboBoxL : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

}  // namespace vantrel
