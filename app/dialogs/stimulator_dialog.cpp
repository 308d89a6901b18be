#include "app/dialogs/stimulator_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
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

CORTHO::CORTHO(QWidget* parent) : ChildPanel(QString(), parent) {
    setObjectName("StimulatorDialog");
    SetTranslatedTitle("IDC_ORTHOSTIM", "ORTHORHYTHMIC STIMULATOR");
    QWidget* body = Body();
    // Number edits wide enough for five digits in the panel's font: a value never reads short.
    const int editWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
    auto edit = [body, editWidth](int value) {
        auto* e = new QLineEdit(QString::number(value), body);
        e->setMinimumWidth(editWidth);
        e->setMaximumWidth(editWidth + 6);
        return e;
    };
    auto label = [body](const QString& text) { return new QLabel(text, body); };
    auto translatedLabel = [this, body](const char* key, const char* english) {
        return Translated(new QLabel(body), key, english);
    };
    auto block = [body] {
        auto* grid = new QGridLayout;
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(3);
        return grid;
    };

    // The drive train and the first extrastimulus.
    trainBlock_ = block();
    train_ = new QCheckBox("S1 - S1", body);
    s1_ = edit(600);
    trainBlock_->addWidget(train_, 0, 0);
    trainBlock_->addWidget(label("="), 0, 1, Qt::AlignRight);
    trainBlock_->addWidget(s1_, 0, 2);
    trainBlock_->addWidget(label("ms"), 0, 3);
    without_ = Translated(new QRadioButton(body), "IDC_ORTHO_WITHOUT", "Without intermediate QRS");
    with_ = Translated(new QRadioButton(body), "IDC_ORTHO_WITH", "with");
    intermediate_ = edit(3);
    auto* intermediateGroup = new QButtonGroup(this);
    intermediateGroup->addButton(without_);
    intermediateGroup->addButton(with_);
    without_->setChecked(true);
    trainBlock_->addWidget(without_, 1, 0, 1, 4);
    trainBlock_->addWidget(with_, 2, 0, Qt::AlignRight);
    trainBlock_->addWidget(intermediate_, 2, 2);
    trainBlock_->addWidget(translatedLabel("IDC_ORTHO_INTERMEDIATE", "intermediate QRS"), 2, 3);
    s2_ = edit(500);
    trainBlock_->addWidget(label("S2 ="), 3, 0, 1, 2, Qt::AlignRight);
    trainBlock_->addWidget(s2_, 3, 2);
    trainBlock_->addWidget(label("ms"), 3, 3);
    trainBlock_->setRowStretch(4, 1);

    // How S2 moves from train to train.
    stepBlock_ = block();
    fixed_ = Translated(new QRadioButton(body), "IDC_ORTHO_FIXED", "Fixed");
    increment_ = Translated(new QRadioButton(body), "IDC_ORTHO_INCREMENT", "Auto-Increment");
    decrement_ = Translated(new QRadioButton(body), "IDC_ORTHO_DECREMENT", "Auto-Decrement");
    auto* modeGroup = new QButtonGroup(this);
    for (QRadioButton* b : {fixed_, increment_, decrement_}) modeGroup->addButton(b);
    fixed_->setChecked(true);
    stepBlock_->addWidget(fixed_, 0, 0);
    stepBlock_->addWidget(increment_, 1, 0);
    stepBlock_->addWidget(decrement_, 2, 0);
    step_ = edit(25);
    limit_ = edit(200);
    auto* stepRow = new QHBoxLayout;
    stepRow->setSpacing(4);
    stepRow->addWidget(translatedLabel("IDC_ORTHO_STEP", "Step :"));
    stepRow->addWidget(step_);
    stepRow->addWidget(translatedLabel("IDC_ORTHO_STILL", "ms      still"));
    stepRow->addWidget(limit_);
    stepRow->addWidget(label("ms"));
    stepRow->addStretch(1);
    stepBlock_->addLayout(stepRow, 3, 0);
    stepBlock_->setRowStretch(4, 1);

    // S3, S4 and the pause after a burst.
    extraBlock_ = block();
    s3On_ = new QCheckBox("S3 =", body);
    s3_ = edit(270);
    s4On_ = new QCheckBox("S4 =", body);
    s4_ = edit(250);
    extraBlock_->addWidget(s3On_, 0, 0, Qt::AlignRight);
    extraBlock_->addWidget(s3_, 0, 1);
    extraBlock_->addWidget(label("ms"), 0, 2);
    extraBlock_->addWidget(s4On_, 1, 0, Qt::AlignRight);
    extraBlock_->addWidget(s4_, 1, 1);
    extraBlock_->addWidget(label("ms"), 1, 2);
    pauseOn_ = Translated(new QCheckBox(body), "IDC_ORTHO_PAUSE", "Add a pause after burst of :");
    pauseOn_->setChecked(true);
    pause_ = edit(3000);
    extraBlock_->addWidget(pauseOn_, 2, 0, 1, 3);
    extraBlock_->addWidget(pause_, 3, 1);
    extraBlock_->addWidget(label("ms"), 3, 2);
    extraBlock_->setRowStretch(4, 1);

    // The lead, emergency pacing, start and stop.
    buttonBlock_ = block();
    auto* leads = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        lead_[i] = new QRadioButton(body);
        QRadioButton* lead = lead_[i];
        KeepTranslated([lead, i] { lead->setText(Tr("IDC_ORTHO_LEAD", "Lead %1").arg(i + 1)); });
        leads->addButton(lead_[i], i);
        buttonBlock_->addWidget(lead_[i], i / 2, i % 2);
    }
    lead_[0]->setChecked(true);
    emergency_ = Translated(new QPushButton(body), "IDC_ORTHO_EMERGENCY", "EMERGENCY\n75bpm");
    emergency_->setCheckable(true);
    emergency_->setMinimumHeight(emergency_->fontMetrics().height() * 2 + 10);
    buttonBlock_->addWidget(emergency_, 2, 0, 2, 1);
    start_ = Translated(new QPushButton(body), "IDC_ORTHO_START", "START");
    stop_ = Translated(new QPushButton(body), "IDC_ORTHO_STOP", "STOP");
    buttonBlock_->addWidget(start_, 2, 1);
    buttonBlock_->addWidget(stop_, 3, 1);
    buttonBlock_->setRowStretch(4, 1);

    slider_ = new QScrollBar(Qt::Vertical, body);
    slider_->setRange(0, 1000);
    slider_->setValue(400);
    slider_->setPageStep(50);

    outer_ = new QGridLayout(body);
    outer_->setContentsMargins(6, 4, 4, 4);
    outer_->setHorizontalSpacing(10);
    outer_->setVerticalSpacing(8);
    SetShape(StimulatorShape::Wide);

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

namespace vantrel {

void CORTHO::SetShape(StimulatorShape shape) {
    if (shape_ == shape && outer_->count() > 0) return;
    shape_ = shape;
    QLayout* const blocks[4] = {trainBlock_, stepBlock_, extraBlock_, buttonBlock_};
    for (QLayout* block : blocks) outer_->removeItem(block);
    outer_->removeWidget(slider_);
    // Wide: one row of four blocks, low, for the band above a full-width strip.  Square: two rows
    // of two.  Tall: one column, narrow, for a part of the heart's half.
    const int columns = shape == StimulatorShape::Wide ? 4 : shape == StimulatorShape::Square ? 2 : 1;
    for (int i = 0; i < 4; ++i) outer_->addLayout(blocks[i], i / columns, i % columns);
    outer_->addWidget(slider_, 0, columns, (4 + columns - 1) / columns, 1);
    // The new arrangement's size reaches the panel through the body's size hint.
    outer_->invalidate();
    outer_->activate();
    Body()->updateGeometry();
    if (layout()) {
        layout()->invalidate();
        layout()->activate();
    }
    resize(sizeHint());
}

}  // namespace vantrel
