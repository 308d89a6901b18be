// The premature-beat control panel: isolated beats, runs and bigeminy, supraventricular and
// ventricular.  It tells the view what was asked; the view programs the focus cells.  A tool
// window of the view: the ECG screen opens it, its close button and Escape close it.
#pragma once

#include "app/dialogs/child_panel.h"

#include "engine/premature_beats.h"

class QCheckBox;
class QPushButton;

namespace vantrel {

class CMainDlg : public ChildPanel {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent);
    // The push button of "SVPB", "VPB", "SVPBx" or "VPBx".
    QPushButton* Button(PrematureBeatCommand command) const;
    QCheckBox* BigeminyBox(bool ventricular) const { return ventricular ? vBigeminy_ : svBigeminy_; }

signals:
    void commandRequested(vantrel::PrematureBeatCommand command);
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
