// The confirmations of the drug and sequence lists: the chosen entry's comment in a read-only
// box, and two buttons that apply the entry or leave it.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace vantrel {

class TherapyConfirmDialog : public QDialog {
    Q_OBJECT
public:
    // `comment` is the model's text (Western European bytes, CR LF line breaks).
    TherapyConfirmDialog(const QString& title, const QString& okText, const QString& cancelText,
                         const std::string& comment, QWidget* parent);
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QString Comment() const;

private:
    QPlainTextEdit* comment_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

// "Comments about this drug": "Get it" or "Don't get it".
class CDrug2 : public TherapyConfirmDialog {
    Q_OBJECT
public:
    CDrug2(const std::string& comment, QWidget* parent);
};

// "Comments ": "Do it" or "Don't do it".
class CSelectSeq : public TherapyConfirmDialog {
    Q_OBJECT
public:
    CSelectSeq(const std::string& comment, QWidget* parent);
};

}  // namespace vantrel
