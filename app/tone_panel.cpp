#include "app/tone_panel.h"

#include "app/ui_text.h"

namespace vantrel {

namespace {

QLabel* PanelText(const QString& text, const char* name, QWidget* parent, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(64, 255, 64));
    label->setPalette(pal);
    label->setFont(font);
    return label;
}

}  // namespace

void CReglage::Create(QWidget* view, const QFont& font) {
    svbLabel = PanelText(Tr("IDC_SVB", "SVB"), "SvbLabel", view, font);
    toneBar = new QScrollBar(Qt::Vertical, view);
    toneBar->setObjectName("ToneBar");
    toneBar->setRange(0, 200);
    toneBar->setSingleStep(1);
    toneBar->setPageStep(10);
    toneBar->setValue(114);
    // Clicked or tabbed to, the bar takes the arrow and page keys.
    toneBar->setFocusPolicy(Qt::StrongFocus);
    toneValue = PanelText(" 70", "ToneValue", view, font);
    arLabel = PanelText(Tr("IDC_AR", "AR"), "ArLabel", view, font);
    heartRateValue = PanelText(" 60bpm", "HeartRate", view, font);
    heartRateValue->hide();
    sinusRateValue = PanelText(" 60", "SinusRate", view, font);
}

}  // namespace vantrel
