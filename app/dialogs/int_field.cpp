#include "app/dialogs/int_field.h"

#include <QLineEdit>
#include <QMessageBox>

namespace vantrel {

std::optional<int32_t> ParseIntInRange(const QString& text, int32_t lo, int32_t hi) {
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    if (!ok || value < lo || value > hi) return std::nullopt;
    return static_cast<int32_t>(value);
}

QString IntRangeMessage(int32_t lo, int32_t hi) {
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(lo).arg(hi);
}

bool ExchangeInt(QWidget* dialog, QLineEdit* field, int32_t lo, int32_t hi, int32_t& value) {
    const std::optional<int32_t> parsed = ParseIntInRange(field->text(), lo, hi);
    if (parsed) {
        value = *parsed;
        return true;
    }
    QMessageBox::warning(dialog, dialog ? dialog->window()->windowTitle() : QString(), IntRangeMessage(lo, hi));
    field->setFocus();
    field->selectAll();
    return false;
}

}  // namespace vantrel
