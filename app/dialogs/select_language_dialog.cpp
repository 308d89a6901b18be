#include "app/dialogs/select_language_dialog.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/dialogs/ok_cancel_buttons.h"
#include "app/translation/langue.h"
#include "app/ui_text.h"

namespace vantrel {

CSelLangue::CSelLangue(const std::string& languageNames, int32_t languageIndex, QWidget* parent)
    : QDialog(parent) {
    setObjectName("ChooseLanguage");
    setWindowTitle(Tr("IDC_CHOOSELANGUAGE", "Choose language"));
    list_ = new QListWidget(this);
    list_->setObjectName("1019");
    list_->addItem(QStringLiteral("English"));
    for (const std::string& name : SplitLines(languageNames)) list_->addItem(FromWestern(name));
    // A saved index beyond the languages found selects the last one.
    list_->setCurrentRow(languageIndex >= 0 && languageIndex < list_->count() ? languageIndex : list_->count() - 1);

    auto* caption = new QLabel(Tr("IDC_LANGUAGE", "Language"), this);
    caption->setObjectName("1031");
    auto* note = new QLabel(Tr("IDC_RELOADAPP", "Note: reload application to achieve translation"), this);
    note->setObjectName("1117");
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(list_);
    layout->addWidget(note);
    layout->addWidget(OkCancelButtons(this));
}

int32_t CSelLangue::Selection() const { return list_->currentRow(); }

int32_t RunSelectLanguage(const std::string& languageNames, int32_t languageIndex, QWidget* parent) {
    CSelLangue dialog(languageNames, languageIndex, parent);
    if (dialog.exec() != QDialog::Accepted) return -1;
    return dialog.Selection();
}

}  // namespace vantrel
