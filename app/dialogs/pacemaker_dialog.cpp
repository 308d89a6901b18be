#include "app/dialogs/pacemaker_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/dialogs/dialog_fields.h"
#include "app/ui_text.h"

namespace vantrel {

CPACE::CPACE(QWidget* parent) : ChildPanel(QString(), parent) {
    setObjectName("PacemakerDialog");
    SetTranslatedTitle("IDC_PMSETUP", "PACEMAKER SETUP");
    auto* grid = new QGridLayout(Body());
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    mode_ = new QComboBox(Body());
    for (int32_t m = 0; m < kPacemakerModeCount; ++m) mode_->addItem(PacemakerModeName(m));
    // Number edits wide enough for five characters in the panel's font: a value never reads short.
    const int editWidth = fontMetrics().horizontalAdvance(QStringLiteral("-0000")) + 14;
    auto edit = [this, editWidth] {
        auto* e = new QLineEdit(Body());
        e->setMinimumWidth(editWidth);
        e->setMaximumWidth(editWidth + 10);
        return e;
    };
    avDelay_ = edit();
    maxRate_ = edit();
    basicRate_ = edit();
    vvDelay_ = edit();
    atrialBlanking_ = edit();
    ventricularBlanking_ = edit();
    auto row = [&](int r, int column, const char* key, const char* label, QWidget* field, const char* unit) {
        grid->addWidget(Translated(new QLabel(Body()), key, label), r, column);
        grid->addWidget(field, r, column + 1);
        if (unit) grid->addWidget(new QLabel(unit, Body()), r, column + 2);
    };
    row(0, 0, "IDC_PMTYPE", "Model", mode_, nullptr);
    row(1, 0, "IDC_PMBASICRATE", "Basic Rate:", basicRate_, "bpm");
    row(2, 0, "IDC_PMAVDELAY", "A-V Delay", avDelay_, "ms");
    row(3, 0, "IDC_PMMAXIHR", "Maximum HR", maxRate_, "bpm");
    row(1, 3, "DC_PMABLANKING", "A. Blanking ", atrialBlanking_, "ms");
    row(2, 3, "IDC_PMVBLANKING", "V. Blanking", ventricularBlanking_, "ms");
    row(3, 3, "IDC_PMVVDELAY", "V-V' Delay", vvDelay_, "ms");
    auto* ok = Translated(new QPushButton(Body()), "IDOKSTD", "OK");
    auto* cancel = Translated(new QPushButton(Body()), "IDCANCELSTD", "Cancel");
    ok->setDefault(true);
    // OK and Cancel on the mode's row: four rows in all, low enough to sit above the strip.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 0, 3, 1, 3);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(6, 1);
    connect(ok, &QPushButton::clicked, this, &CPACE::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(mode_, &QComboBox::activated, this, [this] { ReadFields(); });
    ShowFields();
}

void CPACE::SetFields(const PacemakerSettings& fields) {
    fields_ = fields;
    ShowFields();
}

void CPACE::ShowFields() {
    for (int field = 0; field < static_cast<int>(kPacemakerFields.size()); ++field)
        if (QLineEdit* edit = FieldEdit(field)) edit->setText(QString::number(fields_.*kPacemakerFields[field].value));
    mode_->setCurrentIndex(fields_.mode);
}

QLineEdit* CPACE::FieldEdit(int field) const {
    QLineEdit* const edits[] = {avDelay_, maxRate_, basicRate_, nullptr, vvDelay_, ventricularBlanking_,
                                atrialBlanking_};
    return field >= 0 && field < static_cast<int>(std::size(edits)) ? edits[field] : nullptr;
}

bool CPACE::ReadFields() {
    // In the dialog's order; the fields read before a refused one keep their new values.
    for (int field = 0; field < static_cast<int>(kPacemakerFields.size()); ++field) {
        const PacemakerField& f = kPacemakerFields[field];
        QLineEdit* edit = FieldEdit(field);
        if (!edit) {
            fields_.*f.value = mode_->currentIndex();
            continue;
        }
        if (!ReadIntField(this, edit, f.range.min, f.range.max, FieldSign::Signed, fields_.*f.value)) return false;
    }
    return true;
}

void CPACE::ResetMode() {
    fields_.mode = kPmNone;
    ShowFields();
}

void CPACE::OnOk() {
    if (!ReadFields()) return;  // the message was shown; the dialog stays open
    // Hidden first: what the view does with the settings may bring it back with a reason.
    hide();
    emit applied(fields_);
}

}  // namespace vantrel
