// "About the Heart Model": the model's header description (the text after "Date" in its first
// line), one line per backslash-separated piece.
#pragma once

#include <QDialog>
#include <string>

namespace vantrel {

// The description as shown: every piece before a backslash ends with CR LF; the rest after the
// last backslash (the whole text when there is none) loses its first character, normally the
// space that follows the backslash or the word "Date".
std::string ModelDescriptionText(const std::string& modelDate);

class CHMComments : public QDialog {
    Q_OBJECT
public:
    CHMComments(const std::string& modelDate, QWidget* parent);
};

}  // namespace vantrel
