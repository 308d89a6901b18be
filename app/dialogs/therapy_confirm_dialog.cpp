#include "app/dialogs/therapy_confirm_dialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui_text.h"

namespace vantrel {

TherapyConfirmDialog::TherapyConfirmDialog(const QString& title, const QString& okText, const QString& cancelText,
                                           const std::string& comment, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName("Comment");
    comment_->setReadOnly(true);
    QFont font("Arial");
    font.setPixelSize(16);
    comment_->setFont(font);
    QString text = FromWestern(comment);
    text.replace("\r\n", "\n");
    text.remove('\r');
    comment_->setPlainText(text);
    layout->addWidget(comment_);
    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(okText, this);
    cancel_ = new QPushButton(cancelText, this);
    ok_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    resize(480, 320);
}

QString TherapyConfirmDialog::Comment() const { return comment_->toPlainText(); }

CDrug2::CDrug2(const std::string& comment, QWidget* parent)
    : TherapyConfirmDialog(Tr("IDD_SELECT_DRUG", "Comments about this drug"), Tr("IDOKDRUG", "Get it"),
                           Tr("IDCANCELDRUG", "Don't get it"), comment, parent) {
    setObjectName("DrugConfirm");
}

CSelectSeq::CSelectSeq(const std::string& comment, QWidget* parent)
    : TherapyConfirmDialog(Tr("IDD_SELECT_SEQ", "Comments "), Tr("IDOKSEQ", "Do it"),
                           Tr("IDCANCELDRUG", "Don't do it"), comment, parent) {
    setObjectName("SequenceConfirm");
}

}  // namespace vantrel
