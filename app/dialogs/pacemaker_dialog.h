// "PACEMAKER SETUP": the modeless dialog that edits the implanted pacemaker's mode and timing.
// It lives hidden inside the view and is shown by the "Pacemaker" command.
#pragma once

#include <cstdint>

#include "app/dialogs/child_panel.h"

class QComboBox;
class QLineEdit;

namespace vantrel {

// The dialog's fields, in the order in which it reads them (ms or bpm).
struct PacemakerFields {
    int32_t avDelay = 160;     // 5..1000 ms
    int32_t maxRate = 140;     // 30..300 bpm
    int32_t basicRate = 70;    // 30..200 bpm
    int32_t mode = 0;          // 0 "None" .. 5 "CRT"
    int32_t vvDelay = 0;       // -100..100 ms
    int32_t ventricularBlanking = 0;  // 0..1000 ms
    int32_t atrialBlanking = 0;       // 0..1000 ms
};

class CPACE : public ChildPanel {
    Q_OBJECT
public:
    explicit CPACE(QWidget* parent);

    // The fields as last read from the edits.
    const PacemakerFields& Fields() const { return fields_; }
    // Puts values into the fields and shows them in the edits.
    void SetFields(const PacemakerFields& fields);
    // Reads the edits into the fields in order with their range checks; at the first failure the
    // standard message is shown, the focus goes to that edit, and false is returned (the fields
    // read before it keep their new values).
    bool ReadFields();
    // Back to "None" with the fields shown again (a new model was loaded).
    void ResetMode();
    // Whether the engine can set up a pacemaker; OK is disabled otherwise.
    void SetEngineAvailable(bool available);

    QLineEdit* AvDelayEdit() const { return avDelay_; }
    QLineEdit* MaxRateEdit() const { return maxRate_; }
    QLineEdit* BasicRateEdit() const { return basicRate_; }
    QLineEdit* VvDelayEdit() const { return vvDelay_; }
    QLineEdit* AtrialBlankingEdit() const { return atrialBlanking_; }
    QLineEdit* VentricularBlankingEdit() const { return ventricularBlanking_; }
    QComboBox* ModeList() const { return mode_; }

    static const char* ModeName(int32_t mode);

signals:
    // OK with valid fields: the view sets the pacemaker up and redraws the electrode marks.
    void applied(const vantrel::PacemakerFields& fields);

private:
    void OnOk();
    void ShowFields();

    PacemakerFields fields_;
    QComboBox* mode_;
    QLineEdit* avDelay_;
    QLineEdit* maxRate_;
    QLineEdit* basicRate_;
    QLineEdit* vvDelay_;
    QLineEdit* atrialBlanking_;
    QLineEdit* ventricularBlanking_;
    QWidget* okButton_;
};

}  // namespace vantrel
