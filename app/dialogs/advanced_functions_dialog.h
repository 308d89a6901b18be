// "Advanced Functions": a percentage applied to the conduction times, the absolute refractory
// period or the escape period of whole regions (the areas, or the cells whose names begin with a
// text), on the parasympathetic value, the sympathetic value or both.  The dialog edits the
// values only; the caller applies them on OK.
#pragma once

#include <QDialog>

#include "model/therapy/regional_change.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace vantrel {

class CAdvFunctions : public QDialog {
    Q_OBJECT
public:
    CAdvFunctions(const AdvancedFunctionValues& values, QWidget* parent = nullptr);

    // The values shown, as far as OK has read them.
    const AdvancedFunctionValues& Values() const { return values_; }
    void accept() override;

private:
    AdvancedFunctionValues values_;
    QLineEdit* coefficient_;
    QButtonGroup* function_;
    QCheckBox* rightAtrium_;
    QCheckBox* leftAtrium_;
    QCheckBox* avNode_;
    QCheckBox* rightVentricle_;
    QCheckBox* leftVentricle_;
    QCheckBox* byName_;
    QLineEdit* nameText_;
    QCheckBox* parasympathetic_;
    QCheckBox* sympathetic_;
};

// Runs the dialog over `values` (the frame's, kept for the run); on OK stores them back and
// applies them to the heart under its lock.  True on OK.
bool RunAdvancedFunctions(AdvancedFunctionValues& values, RegionalChanges& changes, CCoeur& heart,
                          QWidget* parent);

}  // namespace vantrel
