// "Setup Aplication": the reference cell of the interval measurements (the cell that restarts
// the activation clock) and whether links can be clicked in the full-volume picture.
#pragma once

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QListWidget;

namespace vantrel {

struct CCoeur;

class CSETUPApp : public QDialog {
    Q_OBJECT
public:
    CSETUPApp(CCoeur& heart, int32_t& linkClickFullVolume, QWidget* parent = nullptr);

    QListWidget* CellList() const { return cells_; }
    QCheckBox* LinkClickBox() const { return linkClick_; }
    void accept() override;

private:
    CCoeur& heart_;
    int32_t& linkClickFullVolume_;
    QListWidget* cells_;
    QCheckBox* linkClick_;
};

// Runs the dialog (modal); true on OK.
bool RunSetupApplication(CCoeur& heart, int32_t& linkClickFullVolume, QWidget* parent);

}  // namespace vantrel
