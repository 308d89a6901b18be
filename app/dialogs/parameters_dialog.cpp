#include "app/dialogs/parameters_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <mutex>

#include "app/dialogs/dialog_fields.h"
#include "app/dialogs/ok_cancel_buttons.h"
#include "app/ui_text.h"
#include "engine/heart_record.h"

namespace vantrel {

namespace {

constexpr int32_t kCouplingMax = 2000;  // ms
constexpr int32_t kCountMin = 2;        // a run of one is an isolated beat; occurrence 1/1 is none
constexpr int32_t kCountMax = 1000;

enum Group { kIsolated, kRun, kBigeminy };
enum Row { kCoupling, kFirst, kNext, kCount, kOccurrence };

// One edit of the dialog and the field of the heart record it shows.
struct Field {
    int controlId;
    bool ventricular;
    Group group;
    Row row;
    int column;  // 0 minimum (or the single value), 1 maximum
    int32_t& (*value)(CCoeur&);
    int32_t lo, hi;
};

#define PAIR_FIELD(member, side) [](CCoeur& h) -> int32_t& { return h.member.side; }
#define PLAIN_FIELD(member) [](CCoeur& h) -> int32_t& { return h.member; }

// In the order the fields are read on OK.
const Field kFields[] = {
    {1037, false, kIsolated, kCoupling, 0, PAIR_FIELD(svpbCoupling, min), 0, kCouplingMax},
    {1044, false, kIsolated, kCoupling, 1, PAIR_FIELD(svpbCoupling, max), 0, kCouplingMax},
    {1042, false, kRun, kFirst, 0, PAIR_FIELD(svRunFirst, min), 0, kCouplingMax},
    {1043, false, kRun, kFirst, 1, PAIR_FIELD(svRunFirst, max), 0, kCouplingMax},
    {1039, false, kRun, kNext, 0, PAIR_FIELD(svRunNext, min), 0, kCouplingMax},
    {1040, false, kRun, kNext, 1, PAIR_FIELD(svRunNext, max), 0, kCouplingMax},
    {1041, false, kRun, kCount, 0, PLAIN_FIELD(svRunCount), kCountMin, kCountMax},
    {1051, false, kBigeminy, kCoupling, 0, PAIR_FIELD(svBgTgCoupling, min), 0, kCouplingMax},
    {1052, false, kBigeminy, kCoupling, 1, PAIR_FIELD(svBgTgCoupling, max), 0, kCouplingMax},
    {1080, false, kBigeminy, kOccurrence, 0, PLAIN_FIELD(svpbEvery), kCountMin, kCountMax},
    {1045, true, kIsolated, kCoupling, 0, PAIR_FIELD(vpbCoupling, min), 0, kCouplingMax},
    {1038, true, kIsolated, kCoupling, 1, PAIR_FIELD(vpbCoupling, max), 0, kCouplingMax},
    {1046, true, kRun, kFirst, 0, PAIR_FIELD(vRunFirst, min), 0, kCouplingMax},
    {1047, true, kRun, kFirst, 1, PAIR_FIELD(vRunFirst, max), 0, kCouplingMax},
    {1048, true, kRun, kNext, 0, PAIR_FIELD(vRunNext, min), 0, kCouplingMax},
    {1049, true, kRun, kNext, 1, PAIR_FIELD(vRunNext, max), 0, kCouplingMax},
    {1050, true, kRun, kCount, 0, PLAIN_FIELD(vRunCount), kCountMin, kCountMax},
    {1053, true, kBigeminy, kCoupling, 0, PAIR_FIELD(vBgTgCoupling, min), 0, kCouplingMax},
    {1054, true, kBigeminy, kCoupling, 1, PAIR_FIELD(vBgTgCoupling, max), 0, kCouplingMax},
    {1081, true, kBigeminy, kOccurrence, 0, PLAIN_FIELD(vpbEvery), kCountMin, kCountMax},
};

#undef PAIR_FIELD
#undef PLAIN_FIELD

QString GroupTitle(Group group) {
    switch (group) {
    case kIsolated: return Tr("IDC_CADREISOL", "Isolated");
    case kRun: return Tr("IDC_CADRERUN", "Run");
    case kBigeminy: return Tr("IDC_CADREBGTG", "Bi & trigeminism");
    }
    return QString();
}

QString RowLabel(Row row) {
    switch (row) {
    case kCoupling: return Tr("IDC_CPLINT", "Coupling Time");
    case kFirst: return Tr("IDC_1CPLINT", "1st coupling interval :");
    case kNext: return Tr("IDC_2CPLINT", "2nd coupling interval :");
    case kCount: return Tr("IDC_NBSUCC", "Number of successive complex :");
    case kOccurrence: return Tr("IDC_OCC", "Occurence :");
    }
    return QString();
}

}  // namespace

CParameters::CParameters(CCoeur& heart, QWidget* parent) : QDialog(parent), heart_(heart) {
    setObjectName("Parameters");
    setWindowTitle(Tr("IDD_REGLAGE", "Parameters Ajustments"));
    // Edits of five digits, never squeezed: every value shows whole.
    const int editWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14;
    for (const Field& field : kFields) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(field.controlId));
        edit->setFixedWidth(editWidth);
        edits_.push_back(edit);
    }
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        for (std::size_t i = 0; i < std::size(kFields); ++i)
            edits_[i]->setText(QString::number(kFields[i].value(heart_)));
    }

    auto* sides = new QHBoxLayout;
    for (bool ventricular : {false, true}) {
        auto* side = new QGroupBox(LiteralAmpersands(ventricular ? Tr("IDC_CADREVPB", "Ventricular Prematurity")
                                                                 : Tr("IDC_CADRESVPB", "Supraventricular Prematurity")),
                                   this);
        auto* sideLayout = new QVBoxLayout(side);
        auto* header = new QGridLayout;
        header->setColumnStretch(0, 1);
        header->addWidget(new QLabel(Tr("IDC_MINIMUM", "minimum :"), side), 0, 1);
        header->addWidget(new QLabel(Tr("IDC_MAXIMUM", "maximum :"), side), 0, 2);
        sideLayout->addLayout(header);
        for (Group group : {kIsolated, kRun, kBigeminy}) {
            auto* box = new QGroupBox(LiteralAmpersands(GroupTitle(group)), side);
            auto* grid = new QGridLayout(box);
            grid->setColumnStretch(0, 1);
            int line = -1;
            Row shownRow = kCount;
            bool first = true;
            for (std::size_t i = 0; i < std::size(kFields); ++i) {
                const Field& field = kFields[i];
                if (field.ventricular != ventricular || field.group != group) continue;
                if (first || field.row != shownRow) {
                    ++line;
                    shownRow = field.row;
                    first = false;
                    // A long row name takes two lines, so that the two sides fit a small screen.
                    auto* rowName = new QLabel(RowLabel(field.row), box);
                    rowName->setWordWrap(true);
                    rowName->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Coupling Time")));
                    grid->addWidget(rowName, line, 0);
                    if (field.row == kOccurrence) grid->addWidget(new QLabel(QStringLiteral("1/"), box), line, 1, Qt::AlignRight);
                }
                const int column = field.row == kOccurrence ? 2 : 1 + field.column;
                grid->addWidget(edits_[i], line, column);
            }
            sideLayout->addWidget(box);
        }
        sides->addWidget(side);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(OkCancelButtons(this));
}

QLineEdit* CParameters::Edit(int controlId) const {
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        if (kFields[i].controlId == controlId) return edits_[i];
    return nullptr;
}

void CParameters::accept() {
    int32_t values[std::size(kFields)];
    for (std::size_t i = 0; i < std::size(kFields); ++i)
        if (!ReadIntField(this, edits_[i], kFields[i].lo, kFields[i].hi, FieldSign::Signed, values[i])) return;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        for (std::size_t i = 0; i < std::size(kFields); ++i) kFields[i].value(heart_) = values[i];
    }
    QDialog::accept();
}

bool RunParametersDialog(CCoeur& heart, QWidget* parent) {
    CParameters dialog(heart, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantrel
