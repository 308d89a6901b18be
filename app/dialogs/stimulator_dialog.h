// "ORTHORHYTHMIC STIMULATOR": the modeless dialog of the programmed stimulator (drive train,
// extrastimuli, pause, emergency pacing), living hidden inside the view until its command shows it.
#pragma once

#include <cstdint>

#include "app/dialogs/child_panel.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace vantrel {

enum class S2Mode { Fixed, AutoIncrement, AutoDecrement };

// The dialog's settings (ms or counts) as its fields hold them.
struct StimulatorFields {
    bool trainOn = false;     // "S1 - S1"
    int32_t s1 = 600;         // 5..10000
    bool withIntermediate = false;  // "with" N "intermediate QRS"
    int32_t intermediateCount = 3;  // 0..100
    int32_t s2 = 500;         // 5..10000
    S2Mode mode = S2Mode::Fixed;
    int32_t step = 25;        // 5..1000
    int32_t limit = 200;      // 5..10000
    bool s3On = false;
    int32_t s3 = 270;         // 5..1000
    bool s4On = false;
    int32_t s4 = 250;         // 5..1000
    bool pauseOn = true;
    int32_t pause = 3000;     // 1..10000
    int32_t lead = 0;         // 0..3 = "Lead 1".."Lead 4"
    bool emergency = false;
};

class CORTHO : public ChildPanel {
    Q_OBJECT
public:
    explicit CORTHO(QWidget* parent);

    const StimulatorFields& Fields() const { return fields_; }
    // Reads every control with its range check; false (message shown) at the first bad field.
    bool ReadFields();
    void SetEngineAvailable(bool available);

    QScrollBar* Slider() const { return slider_; }
    QLineEdit* S1Edit() const { return s1_; }

signals:
    // "START" with valid fields.
    void startRequested(const vantrel::StimulatorFields& fields);
    // "STOP".
    void stopRequested(const vantrel::StimulatorFields& fields);
    // The emergency button was clicked (its new state is in the fields).
    void emergencyClicked(const vantrel::StimulatorFields& fields);
    // Another lead was chosen.
    void leadChosen(const vantrel::StimulatorFields& fields);

private:
    StimulatorFields fields_;
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
};

}  // namespace vantrel
