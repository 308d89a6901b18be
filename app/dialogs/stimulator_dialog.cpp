#include "app/dialogs/stimulator_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/dialogs/dialog_fields.h"
#include "app/ui_text.h"

namespace vantrel {

CORTHO::CORTHO(QWidget* parent) : ChildPanel(Tr("IDC_ORTHOSTIM", "ORTHORHYTHMIC STIMULATOR"), parent) {
    setObjectName("StimulatorDialog");
    auto* grid = new QGridLayout(Body());
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setVerticalSpacing(4);
    auto edit = [this](int value) {
        auto* e = new QLineEdit(QString::number(value), Body());
        e->setMaximumWidth(56);
        return e;
    };
    auto label = [this](const QString& text) { return new QLabel(text, Body()); };

    train_ = new QCheckBox("S1 - S1", Body());
    s1_ = edit(600);
    grid->addWidget(train_, 0, 0);
    grid->addWidget(label("="), 0, 1, Qt::AlignRight);
    grid->addWidget(s1_, 0, 2);
    grid->addWidget(label("ms"), 0, 3);

    without_ = new QRadioButton(Tr("IDC_ORTHO_WITHOUT", "Without intermediate QRS"), Body());
    with_ = new QRadioButton(Tr("IDC_ORTHO_WITH", "with"), Body());
    intermediate_ = edit(3);
    auto* intermediateGroup = new QButtonGroup(this);
    intermediateGroup->addButton(without_);
    intermediateGroup->addButton(with_);
    without_->setChecked(true);
    grid->addWidget(without_, 1, 0, 1, 2);
    grid->addWidget(with_, 2, 0, Qt::AlignRight);
    grid->addWidget(intermediate_, 2, 2);
    grid->addWidget(label(Tr("IDC_ORTHO_INTERMEDIATE", "intermediate QRS")), 2, 3, 1, 2);

    s2_ = edit(500);
    grid->addWidget(label("S2 ="), 3, 1, Qt::AlignRight);
    grid->addWidget(s2_, 3, 2);
    grid->addWidget(label("ms"), 3, 3);
    fixed_ = new QRadioButton(Tr("IDC_ORTHO_FIXED", "Fixed"), Body());
    increment_ = new QRadioButton(Tr("IDC_ORTHO_INCREMENT", "Auto-Increment"), Body());
    decrement_ = new QRadioButton(Tr("IDC_ORTHO_DECREMENT", "Auto-Decrement"), Body());
    auto* modeGroup = new QButtonGroup(this);
    for (QRadioButton* b : {fixed_, increment_, decrement_}) modeGroup->addButton(b);
    fixed_->setChecked(true);
    grid->addWidget(fixed_, 4, 0);
    grid->addWidget(increment_, 5, 0);
    grid->addWidget(decrement_, 6, 0);
    step_ = edit(25);
    limit_ = edit(200);
    grid->addWidget(label(Tr("IDC_ORTHO_STEP", "Step :")), 5, 1, Qt::AlignRight);
    grid->addWidget(step_, 5, 2);
    grid->addWidget(label(Tr("IDC_ORTHO_STILL", "ms      still")), 5, 3);
    grid->addWidget(limit_, 5, 4);
    grid->addWidget(label("ms"), 5, 5);

    s3On_ = new QCheckBox("S3 =", Body());
    s3_ = edit(270);
    s4On_ = new QCheckBox("S4 =", Body());
    s4_ = edit(250);
    grid->addWidget(s3On_, 7, 0, Qt::AlignRight);
    grid->addWidget(s3_, 7, 2);
    grid->addWidget(label("ms"), 7, 3);
    grid->addWidget(s4On_, 8, 0, Qt::AlignRight);
    grid->addWidget(s4_, 8, 2);
    grid->addWidget(label("ms"), 8, 3);

    pauseOn_ = new QCheckBox(Tr("IDC_ORTHO_PAUSE", "Add a pause after burst of :"), Body());
    pauseOn_->setChecked(true);
    pause_ = edit(3000);
    grid->addWidget(pauseOn_, 9, 0, 1, 2);
    grid->addWidget(pause_, 9, 2);
    grid->addWidget(label("ms"), 9, 3);

    auto* leads = new QButtonGroup(this);
    auto* leadColumn = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        lead_[i] = new QRadioButton(Tr("IDC_ORTHO_LEAD", "Lead %1").arg(i + 1), Body());
        leads->addButton(lead_[i], i);
        leadColumn->addWidget(lead_[i]);
    }
    lead_[0]->setChecked(true);
    grid->addLayout(leadColumn, 0, 6, 4, 1);

    emergency_ = new QPushButton(Tr("IDC_ORTHO_EMERGENCY", "EMERGENCY\n75bpm"), Body());
    emergency_->setCheckable(true);
    emergency_->setMinimumHeight(40);
    grid->addWidget(emergency_, 4, 6, 2, 1);
    start_ = new QPushButton(Tr("IDC_ORTHO_START", "START"), Body());
    stop_ = new QPushButton(Tr("IDC_ORTHO_STOP", "STOP"), Body());
    grid->addWidget(start_, 7, 6);
    grid->addWidget(stop_, 8, 6);

    slider_ = new QScrollBar(Qt::Vertical, Body());
    slider_->setRange(0, 1000);
    slider_->setValue(400);
    slider_->setPageStep(50);
    grid->addWidget(slider_, 0, 7, 10, 1);

    connect(slider_, &QScrollBar::valueChanged, this,
            [this](int position) { s1_->setText(QString::number(S1IntervalFromSlider(position))); });
    connect(start_, &QPushButton::clicked, this, [this] {
        if (ReadFields()) emit startRequested(fields_);
    });
    connect(stop_, &QPushButton::clicked, this, [this] {
        ReadFields();
        emit stopRequested(fields_);
    });
    connect(emergency_, &QPushButton::clicked, this, [this] {
        if (ReadFields())
            emit emergencyClicked(fields_);
        else
            emergency_->setChecked(!emergency_->isChecked());  // a refused field changes nothing
    });
    connect(leads, &QButtonGroup::idClicked, this, [this](int) {
        if (ReadFields()) emit leadChosen(fields_);
    });
}

QLineEdit* CORTHO::FieldEdit(int field) const {
    QLineEdit* const edits[] = {s1_, intermediate_, s2_, step_, limit_, s3_, s4_, pause_};
    return field >= 0 && field < static_cast<int>(std::size(edits)) ? edits[field] : nullptr;
}

bool CORTHO::ReadFields() {
    StimulatorSettings f = fields_;
    f.train = train_->isChecked();
    f.withIntermediate = with_->isChecked();
    f.mode = increment_->isChecked()   ? StimulatorMode::AutoIncrement
             : decrement_->isChecked() ? StimulatorMode::AutoDecrement
                                       : StimulatorMode::Fixed;
    f.s3On = s3On_->isChecked();
    f.s4On = s4On_->isChecked();
    f.pauseOn = pauseOn_->isChecked();
    for (int i = 0; i < 4; ++i)
        if (lead_[i]->isChecked()) f.lead = i + 1;
    f.emergency = emergency_->isChecked();
    for (int field = 0; field < static_cast<int>(kStimulatorFields.size()); ++field) {
        const StimulatorField& range = kStimulatorFields[field];
        QLineEdit* edit = FieldEdit(field);
        if (edit && !ReadIntField(this, edit, range.range.min, range.range.max, FieldSign::Signed, f.*range.value)) return false;
    }
    fields_ = f;
    return true;
}

}  // namespace vantrel
