// The Welcome dialog, shown at start-up (chapter 0) and as context help (chapters 1 to 4).  Until
// the welcome document can be shown it is a plain dialog with its title and OK.
#pragma once

#include <QDialog>

namespace vantrel {

class CWelcome : public QDialog {
    Q_OBJECT
public:
    CWelcome(int chapter, QWidget* parent);
    int Chapter() const { return chapter_; }

private:
    int chapter_;
};

}  // namespace vantrel
