#include "app/dialogs/ok_cancel_buttons.h"

#include <QDialog>
#include <QPushButton>

#include "app/ui_text.h"

namespace vantrel {

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(Tr("IDOKSTD", "OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Tr("IDCANCELSTD", "Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QString LiteralAmpersands(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace vantrel
