#include "app/dialogs/child_panel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantrel {

ChildPanel::ChildPanel(const QString& title, QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    title_ = new QLabel(title, this);
    title_->setAutoFillBackground(true);
    QPalette titlePalette = title_->palette();
    titlePalette.setColor(QPalette::Window, QColor(10, 36, 106));
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    title_->setPalette(titlePalette);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setContentsMargins(4, 1, 4, 1);
    layout->addWidget(title_);
    body_ = new QWidget(this);
    layout->addWidget(body_, 1);
}

void ChildPanel::SetTitle(const QString& title) { title_->setText(title); }

QString ChildPanel::Title() const { return title_->text(); }

}  // namespace vantrel
