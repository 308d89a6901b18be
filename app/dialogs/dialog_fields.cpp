#include "app/dialogs/dialog_fields.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>

#include "app/ui_text.h"

namespace vantrel {

QString CheckIntField(const QString& text, int32_t lo, int32_t hi, FieldSign sign, int32_t& value) {
    const QString trimmed = text.trimmed();
    const bool signedText = trimmed.startsWith(QLatin1Char('-')) || trimmed.startsWith(QLatin1Char('+'));
    bool ok = false;
    const qlonglong number = trimmed.toLongLong(&ok, 10);
    if (!ok || (sign == FieldSign::Unsigned && signedText)) {
        return sign == FieldSign::Unsigned ? Tr("IDS_ENTER_POSITIVE", "Please enter a positive integer.")
                                           : Tr("IDS_ENTER_INTEGER", "Please enter an integer.");
    }
    if (number < lo || number > hi)
        return Tr("IDS_ENTER_RANGE", "Please enter an integer between %1 and %2.").arg(lo).arg(hi);
    value = static_cast<int32_t>(number);
    return QString();
}

bool ReadIntField(QWidget* dialog, QLineEdit* edit, int32_t lo, int32_t hi, FieldSign sign,
                  int32_t& value) {
    const QString message = CheckIntField(edit->text(), lo, hi, sign, value);
    if (message.isEmpty()) return true;
    QString title = QCoreApplication::applicationName();
    if (title.isEmpty()) title = QStringLiteral("Vantrel");
    QMessageBox::warning(dialog, title, message);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void KeepNumberWhole(QLineEdit* edit) {
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14);
}

}  // namespace vantrel
