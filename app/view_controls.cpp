#include "app/view_controls.h"

#include <QResizeEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace vantrel {

FittingComboBox::FittingComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentTextChanged, this, &FittingComboBox::FollowText);
}

int FittingComboBox::TextWidth() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The label is drawn a pixel in from each side of the edit field.
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width() - 2;
}

bool FittingComboBox::TextCut() const {
    return fontMetrics().horizontalAdvance(currentText()) > TextWidth();
}

void FittingComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, TextWidth());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void FittingComboBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    FollowText();
}

void FittingComboBox::FollowText() { setToolTip(TextCut() ? currentText() : QString()); }

}  // namespace vantrel
