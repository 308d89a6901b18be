#include "app/dialogs/model_comments_dialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/ui_text.h"

namespace vantrel {

std::string ModelDescriptionText(const std::string& modelDate) {
    std::string text;
    size_t start = 0;
    for (size_t slash = modelDate.find('\\'); slash != std::string::npos;
         slash = modelDate.find('\\', start)) {
        text += modelDate.substr(start, slash - start) + "\r\n";
        start = slash + 1;
    }
    std::string rest = modelDate.substr(start);
    if (!rest.empty()) text += rest.substr(1);
    return text;
}

CHMComments::CHMComments(const std::string& modelDate, QWidget* parent) : QDialog(parent) {
    setWindowTitle(Tr("IDD_HMCOMMENTS", "About Heart Model"));
    setObjectName("AboutHeartModel");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName("ModelDescription");
    text->setReadOnly(true);
    QString shown = FromWestern(ModelDescriptionText(modelDate));
    shown.replace("\r\n", "\n");
    text->setPlainText(shown);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(420, 220);
}

}  // namespace vantrel
