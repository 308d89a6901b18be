// A modeless dialog that lives inside the view as a child window: a raised frame with its title
// across the top, placed at a fixed spot of the layout.
#pragma once

#include <QFrame>

class QLabel;
class QVBoxLayout;

namespace vantrel {

class ChildPanel : public QFrame {
    Q_OBJECT
public:
    ChildPanel(const QString& title, QWidget* parent);
    void SetTitle(const QString& title);
    QString Title() const;

protected:
    // The area under the title where the panel puts its controls.
    QWidget* Body() const { return body_; }

private:
    QLabel* title_;
    QWidget* body_;
};

}  // namespace vantrel
