// "ORTHORHYTHMIC STIMULATOR": the modeless dialog of the programmed stimulator (drive train,
// extrastimuli, pause, emergency pacing), living hidden inside the view until its command shows it.
#pragma once

#include <cstdint>

#include "app/dialogs/child_panel.h"
#include "engine/stimulator_program.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vantrel {

// The arrangements of the panel's four blocks of controls: one row, two by two, one column.
enum class StimulatorShape { Wide, Square, Tall };
inline constexpr StimulatorShape kStimulatorShapes[] = {StimulatorShape::Wide, StimulatorShape::Square,
                                                         StimulatorShape::Tall};

class CORTHO : public ChildPanel {
    Q_OBJECT
public:
    explicit CORTHO(QWidget* parent);

    const StimulatorSettings& Fields() const { return fields_; }
    // Reads every control with its range check; false (message shown) at the first bad field.
    bool ReadFields();

    QScrollBar* Slider() const { return slider_; }
    QPushButton* StartButton() const { return start_; }
    QPushButton* EmergencyButton() const { return emergency_; }
    // How the four blocks of controls are arranged; the panel takes the size its layout asks for.
    void SetShape(StimulatorShape shape);
    StimulatorShape Shape() const { return shape_; }
    // The edit of a numeric field, by its index in the engine's field table (nullptr for the lead).
    QLineEdit* FieldEdit(int field) const;

signals:
    // "START" with valid fields.
    void startRequested(const vantrel::StimulatorSettings& fields);
    // "STOP".
    void stopRequested(const vantrel::StimulatorSettings& fields);
    // The emergency button was clicked (its new state is in the fields).
    void emergencyClicked(const vantrel::StimulatorSettings& fields);
    // Another lead was chosen.
    void leadChosen(const vantrel::StimulatorSettings& fields);

private:
    StimulatorSettings fields_;
    QCheckBox* train_;
    QLineEdit* s1_;
    QRadioButton* without_;
    QRadioButton* with_;
    QLineEdit* intermediate_;
    QLineEdit* s2_;
    QRadioButton* fixed_;
    QRadioButton* increment_;
    QRadioButton* decrement_;
    QLineEdit* step_;
    QLineEdit* limit_;
    QCheckBox* s3On_;
    QLineEdit* s3_;
    QCheckBox* s4On_;
    QLineEdit* s4_;
    QCheckBox* pauseOn_;
    QLineEdit* pause_;
    QRadioButton* lead_[4];
    QPushButton* emergency_;
    QPushButton* start_;
    QPushButton* stop_;
    QScrollBar* slider_;
    QGridLayout* trainBlock_;
    QGridLayout* stepBlock_;
    QGridLayout* extraBlock_;
    QGridLayout* buttonBlock_;
    QGridLayout* outer_;
    StimulatorShape shape_ = StimulatorShape::Wide;
};

}  // namespace vantrel
