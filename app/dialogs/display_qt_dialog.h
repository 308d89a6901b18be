// "PR (red) & QT (blue) f(RR)": the modal dialog that plots the recorded beats' PR and QT
// intervals against their RR interval, with a reference recording kept aside for comparison.
#pragma once

#include <QDialog>
#include <array>

#include "engine/heart_record.h"

class QCheckBox;
class QPushButton;

namespace vantrel {

class CDisplayQT : public QDialog {
    Q_OBJECT
public:
    CDisplayQT(CCoeur& heart, QWidget* parent);

    // The plot frame (1129) at the dialog's first size, in client pixels.
    static QRect InitialFrame();
    static QSize InitialSize();

    bool ShowCurrent() const { return showCurrent_ != 0; }
    bool ShowMemory() const { return showMemory_ != 0; }
    // 1130: the engine's first 1000 entries become the reference (nothing is repainted).
    void SaveBuffer();
    // 1133: the engine's entries are emptied; the reference and the write index stay.
    void ClearBuffer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ReadCheckBoxes();
    // The bottom rows of controls for the dialog's size; sets rowsTop_.
    void LayOutRows();

    CCoeur& heart_;
    int32_t showCurrent_ = 1;  // check box 1134
    int32_t showMemory_ = 1;   // check box 1135
    QCheckBox* currentBox_;
    QCheckBox* memoryBox_;
    QPushButton* saveButton_;
    QPushButton* clearButton_;
    QPushButton* exitButton_;
    int rowsTop_ = 0;  // the top of the bottom rows of controls, pixels (resizeEvent)
    std::array<IntervalEntry, kIntervalTableSize> current_{};
    std::array<IntervalEntry, kIntervalTableSize> reference_{};
};

}  // namespace vantrel
