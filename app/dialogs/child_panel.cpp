#include "app/dialogs/child_panel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel {

ChildPanel::ChildPanel(const QString& title, QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::ClickFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);

    // The title bar: the handle that moves the panel, with its close button.
    titleBar_ = new QWidget(this);
    titleBar_->setAutoFillBackground(true);
    QPalette titlePalette = titleBar_->palette();
    titlePalette.setColor(QPalette::Window, QColor(10, 36, 106));
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    titlePalette.setColor(QPalette::ButtonText, Qt::white);
    titlePalette.setColor(QPalette::Button, QColor(10, 36, 106));
    titleBar_->setPalette(titlePalette);
    titleBar_->setCursor(Qt::SizeAllCursor);
    auto* titleRow = new QHBoxLayout(titleBar_);
    titleRow->setContentsMargins(4, 1, 1, 1);
    titleRow->setSpacing(4);
    title_ = new QLabel(title, titleBar_);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleRow->addWidget(title_, 1);
    close_ = new QToolButton(titleBar_);
    close_->setObjectName("PanelClose");
    close_->setText(QStringLiteral("\u00D7"));
    close_->setToolTip(tr("Close (Esc)"));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setCursor(Qt::ArrowCursor);
    titleRow->addWidget(close_);
    connect(close_, &QToolButton::clicked, this, &ChildPanel::CloseByUser);
    layout->addWidget(titleBar_);

    body_ = new QWidget(this);
    layout->addWidget(body_, 1);
    notice_ = new QLabel(this);
    notice_->setObjectName("PanelNotice");
    notice_->setWordWrap(true);
    notice_->setContentsMargins(6, 2, 6, 4);
    QPalette noticePalette = notice_->palette();
    noticePalette.setColor(QPalette::WindowText, QColor(160, 0, 0));
    notice_->setPalette(noticePalette);
    notice_->hide();
    layout->addWidget(notice_);

    // Escape closes the panel while the keyboard is anywhere inside it.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &ChildPanel::CloseByUser);
}

void ChildPanel::SetTitle(const QString& title) { title_->setText(title); }

QString ChildPanel::Title() const { return title_->text(); }

void ChildPanel::SetNotice(const QString& text) {
    notice_->setText(text);
    notice_->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        // Grow to show the whole notice, within the parent.
        const QSize wanted = sizeHint().expandedTo(size());
        if (wanted != size()) resize(wanted);
        KeepInsideParent();
    }
}

QString ChildPanel::Notice() const { return notice_->text(); }

void ChildPanel::CloseByUser() {
    hide();
    if (parentWidget()) parentWidget()->setFocus();
    emit closedByUser();
}

void ChildPanel::KeepInsideParent() {
    QWidget* parent = parentWidget();
    if (!parent) return;
    const QRect area = parent->rect();
    QRect r = geometry();
    r.setWidth(std::min(r.width(), area.width()));
    r.setHeight(std::min(r.height(), area.height()));
    r.moveLeft(std::clamp(r.left(), area.left(), area.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), area.top(), area.bottom() + 1 - r.height()));
    if (r != geometry()) setGeometry(r);
}

void ChildPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && titleBar_->geometry().contains(event->position().toPoint())) {
        dragging_ = true;
        dragOffset_ = event->position().toPoint();
        raise();
        event->accept();
        return;
    }
    raise();
    QFrame::mousePressEvent(event);
}

void ChildPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    move(mapToParent(event->position().toPoint()) - dragOffset_);
    KeepInsideParent();
    event->accept();
}

void ChildPanel::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QFrame::mouseReleaseEvent(event);
}

void ChildPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        CloseByUser();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void ChildPanel::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    raise();
}

}  // namespace vantrel
