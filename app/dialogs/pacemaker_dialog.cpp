#include "app/dialogs/pacemaker_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/int_field.h"
#include "app/ui_text.h"

namespace vantrel {

namespace {

constexpr const char* kModeNames[] = {"None", "AAI", "VVI", "DDD", "DDD +", "CRT"};

}  // namespace

const char* CPACE::ModeName(int32_t mode) { return mode >= 0 && mode < 6 ? kModeNames[mode] : ""; }

CPACE::CPACE(QWidget* parent) : ChildPanel(Tr("IDC_PMSETUP", "PACEMAKER SETUP"), parent) {
    setObjectName("PacemakerDialog");
    auto* grid = new QGridLayout(Body());
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    mode_ = new QComboBox(Body());
    for (const char* name : kModeNames) mode_->addItem(name);
    auto edit = [this] {
        auto* e = new QLineEdit(Body());
        e->setMaximumWidth(70);
        return e;
    };
    avDelay_ = edit();
    maxRate_ = edit();
    basicRate_ = edit();
    vvDelay_ = edit();
    atrialBlanking_ = edit();
    ventricularBlanking_ = edit();
    auto row = [&](int r, int column, const QString& label, QWidget* field, const char* unit) {
        grid->addWidget(new QLabel(label, Body()), r, column);
        grid->addWidget(field, r, column + 1);
        if (unit) grid->addWidget(new QLabel(unit, Body()), r, column + 2);
    };
    row(0, 0, Tr("IDC_PMTYPE", "Model"), mode_, nullptr);
    row(1, 0, Tr("IDC_PMBASICRATE", "Basic Rate:"), basicRate_, "bpm");
    row(2, 0, Tr("IDC_PMAVDELAY", "A-V Delay"), avDelay_, "ms");
    row(3, 0, Tr("IDC_PMMAXIHR", "Maximum HR"), maxRate_, "bpm");
    row(1, 3, Tr("DC_PMABLANKING", "A. Blanking "), atrialBlanking_, "ms");
    row(2, 3, Tr("IDC_PMVBLANKING", "V. Blanking"), ventricularBlanking_, "ms");
    row(3, 3, Tr("IDC_PMVVDELAY", "V-V' Delay"), vvDelay_, "ms");
    auto* ok = new QPushButton(Tr("IDOKSTD", "OK"), Body());
    auto* cancel = new QPushButton(Tr("IDCANCELSTD", "Cancel"), Body());
    ok->setDefault(true);
    okButton_ = ok;
    grid->addWidget(ok, 5, 1);
    grid->addWidget(cancel, 5, 4);
    grid->setRowStretch(4, 1);
    connect(ok, &QPushButton::clicked, this, &CPACE::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(mode_, &QComboBox::activated, this, [this] { ReadFields(); });
    ShowFields();
}

void CPACE::SetFields(const PacemakerFields& fields) {
    fields_ = fields;
    ShowFields();
}

void CPACE::ShowFields() {
    avDelay_->setText(QString::number(fields_.avDelay));
    maxRate_->setText(QString::number(fields_.maxRate));
    basicRate_->setText(QString::number(fields_.basicRate));
    mode_->setCurrentIndex(fields_.mode);
    vvDelay_->setText(QString::number(fields_.vvDelay));
    ventricularBlanking_->setText(QString::number(fields_.ventricularBlanking));
    atrialBlanking_->setText(QString::number(fields_.atrialBlanking));
}

bool CPACE::ReadFields() {
    if (!ExchangeInt(this, avDelay_, 5, 1000, fields_.avDelay)) return false;
    if (!ExchangeInt(this, maxRate_, 30, 300, fields_.maxRate)) return false;
    if (!ExchangeInt(this, basicRate_, 30, 200, fields_.basicRate)) return false;
    fields_.mode = mode_->currentIndex();
    if (!ExchangeInt(this, vvDelay_, -100, 100, fields_.vvDelay)) return false;
    if (!ExchangeInt(this, ventricularBlanking_, 0, 1000, fields_.ventricularBlanking)) return false;
    return ExchangeInt(this, atrialBlanking_, 0, 1000, fields_.atrialBlanking);
}

void CPACE::ResetMode() {
    fields_.mode = 0;
    ShowFields();
}

void CPACE::SetEngineAvailable(bool available) { okButton_->setEnabled(available); }

void CPACE::OnOk() {
    if (!ReadFields()) return;  // the message was shown; the dialog stays open
    emit applied(fields_);
    hide();
}

}  // namespace vantrel
