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

QGroupBox* Group(const QString& title, QPushButton* one, QPushButton* run, QCheckBox* bigeminy, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(box);
    row->addWidget(one);
    row->addWidget(run);
    row->addWidget(bigeminy);
    return box;
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : QFrame(parent) {
    setObjectName("PrematureBeatPanel");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    svpb_ = new QPushButton(Tr("ID_SVPB", "SVPB"), this);
    vpb_ = new QPushButton(Tr("ID_VPB", "VPB"), this);
    svpbRun_ = new QPushButton(Tr("IDC_SVPBx", "SVPBx"), this);
    vpbRun_ = new QPushButton(Tr("IDC_VPBx", "VPBx"), this);
    svBigeminy_ = new QCheckBox(Tr("IDC_SVBg", "SV-Bigeminy"), this);
    vBigeminy_ = new QCheckBox(Tr("IDC_VBg", "V-Bigeminy"), this);
    setParameters_ = new QPushButton(Tr("ID_ADJUST_PARAMETERS", "Set Parameters"), this);

    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    groups->addWidget(Group(Tr("IDC_CDR_SV", "Supraventricular"), svpb_, svpbRun_, svBigeminy_, this));
    groups->addWidget(Group(Tr("IDC_CDRV", "Ventricular"), vpb_, vpbRun_, vBigeminy_, this));
    layout->addLayout(groups);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(setParameters_);
    layout->addLayout(bottom);

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
    QFrame::mouseReleaseEvent(event);
}

}  // namespace vantrel
