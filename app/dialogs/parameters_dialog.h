// "Parameters Ajustments": the six premature-beat parameter sets that the control panel's buttons
// use (isolated, run, bi- and trigeminy; supraventricular and ventricular).  OK writes them all
// into the heart record; a program already given to a focus cell keeps its old values.
#pragma once

#include <QDialog>
#include <vector>

class QLineEdit;

namespace vantrel {

struct CCoeur;

class CParameters : public QDialog {
    Q_OBJECT
public:
    CParameters(CCoeur& heart, QWidget* parent = nullptr);

    // The edit of a control id (1037 ... 1081).
    QLineEdit* Edit(int controlId) const;
    void accept() override;

private:
    CCoeur& heart_;
    std::vector<QLineEdit*> edits_;  // in the order of the field table
};

// Runs the dialog (modal); true on OK.
bool RunParametersDialog(CCoeur& heart, QWidget* parent);

}  // namespace vantrel
