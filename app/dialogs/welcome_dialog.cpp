#include "app/dialogs/welcome_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/ui_text.h"

namespace vantrel {

CWelcome::CWelcome(int chapter, QWidget* parent) : QDialog(parent), chapter_(chapter) {
    setWindowTitle(Tr("IDC_WELCOME", "Welcome"));
    setObjectName("Welcome");
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(260);
}

}  // namespace vantrel
