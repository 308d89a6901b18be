// "Cell setting": one cell's name and its five tone pairs (escape period, anterograde and
// retrograde conduction, absolute and relative refractory periods), the values they give at the
// current tone, and "Ablation".  Opened by a click on a cell of the heart picture.
#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;

namespace vantrel {

struct CCoeur;

class Cdlg_Cell : public QDialog {
    Q_OBJECT
public:
    // One row of the dialog: a tone pair, its B value in the "min" column, H in "max".
    enum Row { kEscape, kAntCond, kRetCond, kArp, kRrp, kRowCount };

    Cdlg_Cell(CCoeur& heart, int32_t cell, QWidget* parent = nullptr);

    // The B and H values as the fields hold them, ms.
    int32_t Min(Row row) const { return min_[row]; }
    int32_t Max(Row row) const { return max_[row]; }

    void accept() override;

private:
    void Ablate();
    bool ReadFields();
    void WriteFields();

    CCoeur& heart_;
    int32_t cell_;
    QLineEdit* name_;
    QLineEdit* minEdit_[kRowCount];
    QLineEdit* maxEdit_[kRowCount];
    QLineEdit* computed_[kRowCount];
    int32_t min_[kRowCount] = {};
    int32_t max_[kRowCount] = {};
};

// Runs "Cell setting" on a cell of the heart (modal); true when the user pressed OK.
bool OpenCellSetting(CCoeur& heart, int32_t cell, QWidget* parent);

}  // namespace vantrel
