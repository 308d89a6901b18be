#include "app/dialogs/child_panel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
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
    title_->setObjectName("PanelTitle");
    fullTitle_ = title;
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    // A narrow panel shortens its title (FitTitle) rather than refusing the room.
    title_->setMinimumWidth(1);
    title_->installEventFilter(this);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleRow->addWidget(title_, 1);
    close_ = new QToolButton(titleBar_);
    close_->setObjectName("PanelClose");
    close_->setText(QStringLiteral("\u00D7"));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setCursor(Qt::ArrowCursor);
    titleRow->addWidget(close_);
    KeepTranslated([this] { close_->setToolTip(Tr("IDS_PANEL_CLOSE", "Close (Esc)")); });
    connect(close_, &QToolButton::clicked, this, &ChildPanel::CloseByUser);
    layout->addWidget(titleBar_);

    // The body scrolls inside the panel when the panel is given less room than it needs; the
    // scroll area has no frame of its own and shows the panel's colours.
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Window);
    scroll_->setFocusPolicy(Qt::NoFocus);
    body_ = new QWidget;
    body_->setObjectName("PanelBody");
    scroll_->setWidget(body_);
    layout->addWidget(scroll_, 1);
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

void ChildPanel::SetTitle(const QString& title) {
    fullTitle_ = title;
    FitTitle();
}

QString ChildPanel::Title() const { return fullTitle_; }

void ChildPanel::KeepTranslated(std::function<void()> setText) {
    setText();
    translatedTexts_.push_back(std::move(setText));
}

void ChildPanel::SetTranslatedTitle(const char* key, const char* englishDefault) {
    KeepTranslated([this, key, englishDefault] { SetTitle(Tr(key, englishDefault)); });
}

void ChildPanel::Retranslate() {
    for (const std::function<void()>& setText : translatedTexts_) setText();
    // The new texts have their own widths: the layouts measure them again.
    for (QLayout* l : {body_->layout(), layout()})
        if (l) {
            l->invalidate();
            l->activate();
        }
    body_->updateGeometry();
    if (isHidden()) return;
    resize(sizeHint());
    KeepInsideParent();
    emit roomWanted();
}

void ChildPanel::FitTitle() {
    const int room = title_->contentsRect().width();
    const QString shown = room >= title_->fontMetrics().horizontalAdvance(fullTitle_)
                              ? fullTitle_
                              : title_->fontMetrics().elidedText(fullTitle_, Qt::ElideRight, room);
    title_->setText(shown);
    title_->setToolTip(shown == fullTitle_ ? QString() : fullTitle_);
}

int ChildPanel::ScrollBarExtent() const { return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_); }

QSize ChildPanel::sizeHint() const {
    // The title bar over the body at its own size hint, with the notice when it shows; the
    // frame's margins around them.
    const QMargins m = contentsMargins() + layout()->contentsMargins();
    const QSize body = body_->sizeHint().expandedTo(body_->minimumSizeHint());
    // The bar's hint follows the title shown, which a narrow panel shortens: the whole title
    // counts.
    const QSize bar = titleBar_->sizeHint();
    const QMargins barMargins = titleBar_->layout()->contentsMargins();
    const int wholeTitle = title_->fontMetrics().horizontalAdvance(fullTitle_) + title_->contentsMargins().left() +
                           title_->contentsMargins().right() + titleBar_->layout()->spacing() +
                           close_->sizeHint().width() + barMargins.left() + barMargins.right();
    int width = std::max({body.width(), bar.width(), wholeTitle});
    int height = bar.height() + body.height();
    if (!notice_->isHidden()) {
        width = std::max(width, std::min(notice_->sizeHint().width(), body.width()));
        height += notice_->heightForWidth(width);
    }
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize ChildPanel::minimumSizeHint() const {
    // The title bar's close button and a few letters, and one line of controls under it with a
    // scroll bar.
    const QMargins m = contentsMargins() + layout()->contentsMargins();
    const int bar = titleBar_->sizeHint().height();
    const QSize least(close_->sizeHint().width() * 4 + m.left() + m.right(),
                      bar + fontMetrics().height() * 2 + ScrollBarExtent() + 8 + m.top() + m.bottom());
    return least.boundedTo(sizeHint());
}

bool ChildPanel::eventFilter(QObject* watched, QEvent* event) {
    // The title's own new width decides how much of it shows.
    if (watched == title_ && event->type() == QEvent::Resize) FitTitle();
    return QFrame::eventFilter(watched, event);
}

void ChildPanel::SetNotice(const QString& text) {
    notice_->setText(text);
    notice_->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        // Grow to show the whole notice, within the parent; the view then finds it a place clear
        // of what it must not cover.
        const QSize wanted = sizeHint().expandedTo(size());
        if (wanted != size()) resize(wanted);
        KeepInsideParent();
        emit roomWanted();
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
