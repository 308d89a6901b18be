// "PACEMAKER SETUP": the modeless dialog that edits the implanted pacemaker's mode and timing.
// It lives hidden inside the view and is shown by the "Pacemaker" command.
#pragma once

#include <cstdint>

#include "app/dialogs/child_panel.h"
#include "engine/pacemaker.h"

class QComboBox;
class QLineEdit;

namespace vantrel {

class CPACE : public ChildPanel {
    Q_OBJECT
public:
    explicit CPACE(QWidget* parent);

    // The fields as last read from the edits.
    const PacemakerSettings& Fields() const { return fields_; }
    // Puts values into the fields and shows them in the edits.
    void SetFields(const PacemakerSettings& fields);
    // Reads the edits into the fields in order with their range checks; at the first failure the
    // standard message is shown, the focus goes to that edit, and false is returned (the fields
    // read before it keep their new values).
    bool ReadFields();
    // Back to "None" with the fields shown again (a new model was loaded).
    void ResetMode();

    // The edit of a numeric field, by its index in the engine's field table (nullptr for the mode).
    QLineEdit* FieldEdit(int field) const;
    QComboBox* ModeList() const { return mode_; }

signals:
    // OK with valid fields: the view sets the pacemaker up and redraws the electrode marks.
    void applied(const vantrel::PacemakerSettings& fields);

private:
    void OnOk();
    void ShowFields();

    PacemakerSettings fields_;
    QComboBox* mode_;
    QLineEdit* avDelay_;
    QLineEdit* maxRate_;
    QLineEdit* basicRate_;
    QLineEdit* vvDelay_;
    QLineEdit* atrialBlanking_;
    QLineEdit* ventricularBlanking_;
};

}  // namespace vantrel
