// The premature-beat control panel: isolated beats, runs and bigeminy, supraventricular and
// ventricular.  It tells the view what was asked; the view programs the focus cells.
#pragma once

#include <QFrame>

class QCheckBox;
class QPushButton;

namespace vantrel {

enum class PrematureCommand {
    Supraventricular,         // "SVPB": one beat
    Ventricular,              // "VPB"
    SupraventricularRun,      // "SVPBx"
    VentricularRun,           // "VPBx"
    SupraventricularBigeminy, // "SV-Bigeminy" switched on or off
    VentricularBigeminy,      // "V-Bigeminy"
};

class CMainDlg : public QFrame {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent);
    // Whether the engine can carry the programs out; the buttons are disabled otherwise.
    void SetProgramsAvailable(bool available);
    QPushButton* Button(PrematureCommand command) const;
    QCheckBox* BigeminyBox(bool ventricular) const { return ventricular ? vBigeminy_ : svBigeminy_; }

signals:
    // `on` matters only for the bigeminy commands.
    void commandRequested(vantrel::PrematureCommand command, bool on);
    void setParametersRequested();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPushButton* svpb_;
    QPushButton* vpb_;
    QPushButton* svpbRun_;
    QPushButton* vpbRun_;
    QCheckBox* svBigeminy_;
    QCheckBox* vBigeminy_;
    QPushButton* setParameters_;
};

}  // namespace vantrel
