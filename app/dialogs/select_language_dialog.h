// "Choose language": English first, then the language files found at start-up.  A full
// translation of the view's controls needs a restart, which the dialog says.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QListWidget;

namespace vantrel {

class CSelLangue : public QDialog {
    Q_OBJECT
public:
    // `languageNames`: the display names, each ended by CR LF.
    CSelLangue(const std::string& languageNames, int32_t languageIndex, QWidget* parent = nullptr);

    QListWidget* List() const { return list_; }
    // The chosen entry (0 = English).
    int32_t Selection() const;

private:
    QListWidget* list_;
};

// Runs the dialog; the chosen index on OK, -1 on Cancel.
int32_t RunSelectLanguage(const std::string& languageNames, int32_t languageIndex, QWidget* parent);

}  // namespace vantrel
