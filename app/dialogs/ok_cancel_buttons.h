// The OK and Cancel buttons the program's modal dialogs share ("IDOKSTD", "IDCANCELSTD"): OK is
// the default button and calls the dialog's accept(), where its fields are checked.
#pragma once

#include <QDialogButtonBox>

class QDialog;

namespace vantrel {

QDialogButtonBox* OkCancelButtons(QDialog* dialog);

// A text shown where "&" marks a shortcut key (group boxes, check boxes, buttons): every "&" of
// a translated text is shown as itself.
QString LiteralAmpersands(QString text);

}  // namespace vantrel
