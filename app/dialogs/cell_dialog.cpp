#include "app/dialogs/cell_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <mutex>

#include "app/dialogs/dialog_fields.h"
#include "display/ui/heart_picture_2d.h"
#include "engine/cell_automaton.h"
#include "engine/heart_record.h"
#include "engine/program_wide.h"

namespace vantrel {

namespace {

QString Tr(const char* key, const char* text) { return TextFromBytes(Translate(key, text)); }

struct RowSpec {
    int minId, maxId, computedId, labelId;
    const char* key;
    const char* text;
    int32_t minLo, minHi, maxLo, maxHi;
};

// Rows from the top, with each field's control number and accepted range.
constexpr RowSpec kRows[Cdlg_Cell::kRowCount] = {
    {1004, 1009, 1014, 1021, "IDC_EscapeT", "Escape Period", 50, 100000, 0, 100000},
    {1005, 1010, 1015, 1022, "IDC_ConductAnt", "Anterograde conduction t.:", 1, 500, 0, 10000},
    {1007, 1012, 1016, 1023, "IDC_ConductRetro", "Retrograde conduction t.:", 1, 500, 0, 10000},
    {1006, 1011, 1017, 1024, "IDC_ARP", "Absolute refractory period :", 50, 30000, 0, 30000},
    {1008, 1013, 1018, 1025, "IDC_RRP", "Relative refractory period :", 0, 3000, 0, 500},
};

QLineEdit* MakeEdit(int id, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    KeepNumberWhole(edit);
    return edit;
}

}  // namespace

Cdlg_Cell::Cdlg_Cell(CCoeur& heart, int32_t cell, QWidget* parent)
    : QDialog(parent), heart_(heart), cell_(cell) {
    setWindowTitle(Tr("IDC_SETCELL", "Cell setting"));
    auto* grid = new QGridLayout;
    name_ = MakeEdit(1003, this);
    grid->addWidget(name_, 0, 0, 1, 4);
    auto* minLabel = new QLabel(Tr("IDC_MIN", "min"), this);
    minLabel->setObjectName(QStringLiteral("1027"));
    auto* maxLabel = new QLabel(Tr("IDC_MAX", "max"), this);
    maxLabel->setObjectName(QStringLiteral("1028"));
    auto* valueLabel = new QLabel(Tr("IDC_Valeur", "Computed value:"), this);
    valueLabel->setObjectName(QStringLiteral("1026"));
    grid->addWidget(minLabel, 1, 1);
    grid->addWidget(maxLabel, 1, 2);
    grid->addWidget(valueLabel, 1, 3);

    int32_t computed[kRowCount] = {};
    {
        // A snapshot taken when the dialog opens; the engine keeps running meanwhile.
        std::lock_guard<std::mutex> guard(heart_.lock);
        const CCell& c = heart_.cells[cell_];
        const int32_t tone = heart_.tone;
        name_->setText(TextFromBytes(std::string(c.name, strnlen(c.name, sizeof c.name))));
        min_[kEscape] = c.escapeB, max_[kEscape] = c.escapeH;
        min_[kAntCond] = c.antCondB, max_[kAntCond] = c.antCondH;
        min_[kRetCond] = c.retCondB, max_[kRetCond] = c.retCondH;
        min_[kArp] = c.arpB, max_[kArp] = c.arpH;
        min_[kRrp] = c.rrpB, max_[kRrp] = c.rrpH;
        computed[kEscape] = EscapeTicks(c, tone) * 5;
        computed[kAntCond] = AntTicks(c, tone) * 5;
        computed[kRetCond] = RetTicks(c, tone) * 5;
        computed[kArp] = ArpTicks(c, tone) * 5;
        computed[kRrp] = RrpTicks(c, tone) * 5;
    }
    for (int r = 0; r < kRowCount; ++r) {
        auto* label = new QLabel(Tr(kRows[r].key, kRows[r].text), this);
        label->setObjectName(QString::number(kRows[r].labelId));
        minEdit_[r] = MakeEdit(kRows[r].minId, this);
        maxEdit_[r] = MakeEdit(kRows[r].maxId, this);
        computed_[r] = MakeEdit(kRows[r].computedId, this);
        computed_[r]->setReadOnly(true);
        computed_[r]->setText(QString::number(computed[r]));
        grid->addWidget(label, r + 2, 0);
        grid->addWidget(minEdit_[r], r + 2, 1);
        grid->addWidget(maxEdit_[r], r + 2, 2);
        grid->addWidget(computed_[r], r + 2, 3);
    }
    WriteFields();

    auto* ablate = new QPushButton(Tr("IDC_ABLATE", "Ablation"), this);
    ablate->setObjectName(QStringLiteral("1116"));
    ablate->setAutoDefault(false);
    connect(ablate, &QPushButton::clicked, this, &Cdlg_Cell::Ablate);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(Tr("IDOKSTD", "OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(Tr("IDCANCELSTD", "Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &Cdlg_Cell::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &Cdlg_Cell::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(ablate, 0, Qt::AlignLeft);
    layout->addWidget(buttons);
}

bool Cdlg_Cell::ReadFields() {
    int32_t min[kRowCount], max[kRowCount];
    for (int r = 0; r < kRowCount; ++r) {
        if (!ReadIntField(this, minEdit_[r], kRows[r].minLo, kRows[r].minHi, FieldSign::Signed, min[r]))
            return false;
        if (!ReadIntField(this, maxEdit_[r], kRows[r].maxLo, kRows[r].maxHi, FieldSign::Signed, max[r]))
            return false;
    }
    for (int r = 0; r < kRowCount; ++r) min_[r] = min[r], max_[r] = max[r];
    return true;
}

void Cdlg_Cell::WriteFields() {
    for (int r = 0; r < kRowCount; ++r) {
        minEdit_[r]->setText(QString::number(min_[r]));
        maxEdit_[r]->setText(QString::number(max_[r]));
    }
}

void Cdlg_Cell::Ablate() {
    if (!ReadFields()) return;
    // An escape period of 60000 ms or more never runs out: the cell no longer escapes.
    min_[kEscape] = kInertEscape;
    max_[kEscape] = kInertEscape;
    WriteFields();
}

void Cdlg_Cell::accept() {
    if (!ReadFields()) return;
    const QByteArray name = name_->text().toLatin1().left(kCellNameMaxLength);
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        CCell& c = heart_.cells[cell_];
        c.SetEscape(min_[kEscape], max_[kEscape]);
        c.SetAntCond(min_[kAntCond], max_[kAntCond]);
        c.SetRetCond(min_[kRetCond], max_[kRetCond]);
        c.SetArp(min_[kArp], max_[kArp]);
        c.SetRrp(min_[kRrp], max_[kRrp]);
        // The model values follow, so that a washout keeps the user's setting; they take the
        // values as stored (a relative refractory period of 0 is kept at its floor of 1).
        c.modelEscapeB = c.escapeB, c.modelEscapeH = c.escapeH;
        c.modelAntCondB = c.antCondB, c.modelAntCondH = c.antCondH;
        c.modelRetCondB = c.retCondB, c.modelRetCondH = c.retCondH;
        c.modelArpB = c.arpB, c.modelArpH = c.arpH;
        c.modelRrpB = c.rrpB, c.modelRrpH = c.rrpH;
        c.SetName(name.constData());
    }
    QDialog::accept();
}

bool OpenCellSetting(CCoeur& heart, int32_t cell, QWidget* parent) {
    {
        std::lock_guard<std::mutex> guard(heart.lock);
        if (cell < 0 || cell >= heart.cellCount) return false;
    }
    Cdlg_Cell dialog(heart, cell, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantrel
