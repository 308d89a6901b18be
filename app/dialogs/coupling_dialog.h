// "Coupling time setting": the coupling pair of the isolated supraventricular or ventricular
// premature beat, with the coupling it gives at the current tone beside the focus cell's
// absolute refractory period.  Opened by a right click on the "SVPB" and "VPB" buttons.
#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;

namespace vantrel {

struct CCoeur;

// The coupling in ms that the pair {min, max} gives at `tone`: with min 0, max after the
// refractory period `arpMs` (plus one tick); otherwise the pair interpolated by the tone, in whole
// ticks.
int32_t CouplingResult(int32_t min, int32_t max, int32_t arpMs, int32_t tone);

class CAdjustCT : public QDialog {
    Q_OBJECT
public:
    CAdjustCT(CCoeur& heart, bool supraventricular, QWidget* parent = nullptr);

    int32_t Result() const { return result_; }
    int32_t Arp() const { return arp_; }

    void accept() override;

private:
    CCoeur& heart_;
    bool supraventricular_;
    int32_t arp_ = 0;
    int32_t tone_ = 0;
    int32_t result_ = 0;
    QLineEdit* min_;
    QLineEdit* max_;
    QLineEdit* result_edit_;
};

// Runs the dialog (modal) for the supraventricular or the ventricular button; true on OK.
bool OpenCouplingSetting(CCoeur& heart, bool supraventricular, QWidget* parent);

}  // namespace vantrel
