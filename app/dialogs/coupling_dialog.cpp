#include "app/dialogs/coupling_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>
#include <mutex>

#include "app/dialogs/dialog_fields.h"
#include "display/ui/heart_picture_2d.h"
#include "engine/cell_automaton.h"
#include "engine/heart_record.h"
#include "engine/program_wide.h"

namespace vantrel {

namespace {

QString Tr(const char* key, const char* text) { return TextFromBytes(Translate(key, text)); }

constexpr int32_t kCouplingLimit = 10000;

QLineEdit* MakeEdit(int id, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    KeepNumberWhole(edit);
    return edit;
}

QLabel* MakeLabel(int id, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    return label;
}

}  // namespace

int32_t CouplingResult(int32_t min, int32_t max, int32_t arpMs, int32_t tone) {
    if (min == 0) return max + arpMs + 5;
    return 5 * ((max - (max - min) * (1000 - tone) / 1000) / 5);
}

CAdjustCT::CAdjustCT(CCoeur& heart, bool supraventricular, QWidget* parent)
    : QDialog(parent), heart_(heart), supraventricular_(supraventricular) {
    setWindowTitle(Tr("IDD_AJUST_CT", "Coupling time setting"));
    CouplingPair pair;
    QString cellName;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        pair = supraventricular_ ? heart_.svpbCoupling : heart_.vpbCoupling;
        const int32_t cell = supraventricular_ ? heart_.svpbCell : heart_.vpbCell;
        tone_ = heart_.tone;
        // A model without this focus cell has no name and no refractory period to show.
        if (cell >= 0 && cell < heart_.cellCount) {
            const CCell& c = heart_.cells[cell];
            cellName = TextFromBytes(std::string(c.name, strnlen(c.name, sizeof c.name)));
            arp_ = ArpTicks(c, tone_) * 5;
        }
    }
    result_ = CouplingResult(pair.min, pair.max, arp_, tone_);

    min_ = MakeEdit(1089, this);
    max_ = MakeEdit(1090, this);
    result_edit_ = MakeEdit(1091, this);
    result_edit_->setReadOnly(true);
    auto* cell = MakeEdit(1112, this);
    cell->setEnabled(false);
    auto* arp = MakeEdit(1114, this);
    arp->setEnabled(false);
    min_->setText(QString::number(pair.min));
    max_->setText(QString::number(pair.max));
    result_edit_->setText(QString::number(result_));
    cell->setText(cellName);
    arp->setText(QString::number(arp_));

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(1111, Tr("IDC_SETCT_CELL", "Cell :"), this), 0, 0);
    grid->addWidget(cell, 0, 1);
    grid->addWidget(MakeLabel(1113, Tr("IDC_SETCT_ARP", "ARP :"), this), 1, 0);
    grid->addWidget(arp, 1, 1);
    grid->addWidget(MakeLabel(1070, Tr("IDC_MN_CT", "Min / 0->PRA + dt"), this), 2, 0);
    grid->addWidget(min_, 2, 1);
    grid->addWidget(MakeLabel(1072, Tr("IDC_MX_CT", "Max / dt"), this), 3, 0);
    grid->addWidget(max_, 3, 1);
    grid->addWidget(MakeLabel(1115, Tr("IDC_CT_RESULT", "Result :"), this), 4, 0);
    grid->addWidget(result_edit_, 4, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(Tr("IDOKSTD", "OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Tr("IDCANCELSTD", "Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAdjustCT::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAdjustCT::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CAdjustCT::accept() {
    int32_t min = 0, max = 0;
    // The result field is shown only: it is computed, never read back.
    if (!ReadIntField(this, min_, 0, kCouplingLimit, FieldSign::Unsigned, min)) return;
    if (!ReadIntField(this, max_, 0, kCouplingLimit, FieldSign::Unsigned, max)) return;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        (supraventricular_ ? heart_.svpbCoupling : heart_.vpbCoupling) = CouplingPair{min, max};
    }
    result_ = CouplingResult(min, max, arp_, tone_);
    result_edit_->setText(QString::number(result_));
    if (result_ < arp_) {
        QMessageBox::warning(this, QStringLiteral("Message"),
                             Tr("IDC_BAD_CT_VALUE", "Coupling Time  is less than ARP : ESV can be inhibited"));
    }
    QDialog::accept();
}

bool OpenCouplingSetting(CCoeur& heart, bool supraventricular, QWidget* parent) {
    CAdjustCT dialog(heart, supraventricular, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantrel
