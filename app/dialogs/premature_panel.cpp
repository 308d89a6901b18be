#include "app/dialogs/premature_panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui_text.h"

namespace vantrel {

namespace {

void Fill(QGroupBox* box, QPushButton* one, QPushButton* run, QCheckBox* bigeminy) {
    auto* row = new QHBoxLayout(box);
    row->addWidget(one);
    row->addWidget(run);
    row->addWidget(bigeminy);
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : ChildPanel(QString(), parent) {
    setObjectName("PrematureBeatPanel");
    SetTranslatedTitle("IDC_PREMATURE", "Premature beats");

    QWidget* body = Body();
    svpb_ = Translated(new QPushButton(body), "ID_SVPB", "SVPB");
    vpb_ = Translated(new QPushButton(body), "ID_VPB", "VPB");
    svpbRun_ = Translated(new QPushButton(body), "IDC_SVPBx", "SVPBx");
    vpbRun_ = Translated(new QPushButton(body), "IDC_VPBx", "VPBx");
    svBigeminy_ = Translated(new QCheckBox(body), "IDC_SVBg", "SV-Bigeminy");
    vBigeminy_ = Translated(new QCheckBox(body), "IDC_VBg", "V-Bigeminy");
    setParameters_ = Translated(new QPushButton(body), "ID_ADJUST_PARAMETERS", "Set Parameters");

    // One row, so that the panel is low enough to sit above the strip's traces.
    auto* row = new QHBoxLayout(body);
    row->setContentsMargins(6, 4, 6, 6);
    auto* supraventricular = Translated(new QGroupBox(body), "IDC_CDR_SV", "Supraventricular");
    auto* ventricular = Translated(new QGroupBox(body), "IDC_CDRV", "Ventricular");
    Fill(supraventricular, svpb_, svpbRun_, svBigeminy_);
    Fill(ventricular, vpb_, vpbRun_, vBigeminy_);
    row->addWidget(supraventricular);
    row->addWidget(ventricular);
    row->addWidget(setParameters_, 0, Qt::AlignBottom);

    using C = PrematureBeatCommand;
    connect(svpb_, &QPushButton::clicked, this, [this] { emit commandRequested(C::Svpb); });
    connect(vpb_, &QPushButton::clicked, this, [this] { emit commandRequested(C::Vpb); });
    connect(svpbRun_, &QPushButton::clicked, this, [this] { emit commandRequested(C::SvpbRun); });
    connect(vpbRun_, &QPushButton::clicked, this, [this] { emit commandRequested(C::VpbRun); });
    // The boxes read their own new state and switch the bigeminy program on or off.
    connect(svBigeminy_, &QCheckBox::clicked, this,
            [this](bool on) { emit commandRequested(on ? C::SvBigeminyOn : C::SvBigeminyOff); });
    connect(vBigeminy_, &QCheckBox::clicked, this,
            [this](bool on) { emit commandRequested(on ? C::VBigeminyOn : C::VBigeminyOff); });
    for (QWidget* w : {static_cast<QWidget*>(svpb_), static_cast<QWidget*>(vpb_), static_cast<QWidget*>(svpbRun_),
                       static_cast<QWidget*>(vpbRun_), static_cast<QWidget*>(svBigeminy_),
                       static_cast<QWidget*>(vBigeminy_), static_cast<QWidget*>(setParameters_)})
        w->setFocusPolicy(Qt::NoFocus);  // the keyboard stays with the view's accelerators
    connect(setParameters_, &QPushButton::clicked, this, &CMainDlg::setParametersRequested);
}

QPushButton* CMainDlg::Button(PrematureBeatCommand command) const {
    switch (command) {
    case PrematureBeatCommand::Svpb: return svpb_;
    case PrematureBeatCommand::Vpb: return vpb_;
    case PrematureBeatCommand::SvpbRun: return svpbRun_;
    case PrematureBeatCommand::VpbRun: return vpbRun_;
    default: return nullptr;
    }
}

void CMainDlg::mouseReleaseEvent(QMouseEvent* event) {
    // Give the keyboard back to the view so that the accelerators keep working.
    if (event->button() == Qt::LeftButton && parentWidget()) parentWidget()->setFocus();
    ChildPanel::mouseReleaseEvent(event);
}

}  // namespace vantrel
