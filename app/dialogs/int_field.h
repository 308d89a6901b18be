// Reading a dialog's edit as an integer within bounds.  On failure the standard field message is
// shown and the focus goes back to the field, so the dialog stays open for a correction.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QLineEdit;
class QWidget;

namespace vantrel {

// The integer in `text` if it is one (surrounding blanks allowed) and lies in lo..hi.
std::optional<int32_t> ParseIntInRange(const QString& text, int32_t lo, int32_t hi);

// The standard message for a field out of range.
QString IntRangeMessage(int32_t lo, int32_t hi);

// Reads the field; on failure shows the message (parented to `dialog`), selects the field's text
// and returns false, leaving `value` unchanged.
bool ExchangeInt(QWidget* dialog, QLineEdit* field, int32_t lo, int32_t hi, int32_t& value);

}  // namespace vantrel
