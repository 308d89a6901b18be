// The dialogs' exchange of integer fields with their edits: a field is read as an integer within
// its bounds; on failure the standard message is shown, the focus goes back to the field and the
// dialog stays open.
#pragma once

#include <QString>
#include <cstdint>

class QLineEdit;
class QWidget;

namespace vantrel {

enum class FieldSign {
    Signed,    // "Please enter an integer." when the text is not a number
    Unsigned,  // "Please enter a positive integer." when it is not a number without a sign
};

// The message for the text of a field with bounds lo..hi, or an empty string when the text is
// accepted (value then holds it).
QString CheckIntField(const QString& text, int32_t lo, int32_t hi, FieldSign sign, int32_t& value);

// Reads `edit`; on failure shows the message over `dialog`, selects the field's text and gives it
// the focus, and returns false.
bool ReadIntField(QWidget* dialog, QLineEdit* edit, int32_t lo, int32_t hi, FieldSign sign,
                  int32_t& value);

// Keeps a number edit at least wide enough for five digits in its font, so that a layout never
// squeezes a value out of sight.
void KeepNumberWhole(QLineEdit* edit);

}  // namespace vantrel
