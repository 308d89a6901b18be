#include "app/dialogs/select_heart_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui_text.h"

namespace vantrel {

CSelectHeart::CSelectHeart(const std::filesystem::path& programDirectory, QWidget* parent) : QDialog(parent) {
    setObjectName("SelectHeart");
    setWindowTitle(Tr("IDC_SELECT_HEART", "Select a Heart Model"));
    choice_.Open(programDirectory);
    auto* layout = new QVBoxLayout(this);
    list_ = new QComboBox(this);
    list_->setObjectName("HeartModelList");
    for (const HeartModelEntry& entry : choice_.Entries()) list_->addItem(FromWestern(entry.shown));
    if (choice_.Selected() >= 0) list_->setCurrentIndex(choice_.Selected());
    list_->setMinimumWidth(320);
    layout->addWidget(list_);
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int index) { choice_.Select(index); });
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(Tr("IDOKSTD", "OK"), this);
    auto* cancel = new QPushButton(Tr("IDCANCELSTD", "Cancel"), this);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace vantrel
