#include "app/dialogs/advanced_functions_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <mutex>

#include "app/dialogs/dialog_fields.h"
#include "app/dialogs/ok_cancel_buttons.h"
#include "app/ui_text.h"

namespace vantrel {

namespace {

QCheckBox* Check(int id, const QString& text, int32_t checked, QWidget* parent) {
    auto* box = new QCheckBox(LiteralAmpersands(text), parent);
    box->setObjectName(QString::number(id));
    box->setChecked(checked != 0);
    return box;
}

}  // namespace

CAdvFunctions::CAdvFunctions(const AdvancedFunctionValues& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setObjectName("AdvancedFunctions");
    setWindowTitle(Tr("IDD_ADVFUNCTIONS", "Advanced Functions"));

    coefficient_ = new QLineEdit(QString::number(values_.coefficient), this);
    coefficient_->setObjectName("1119");
    coefficient_->setMaximumWidth(70);
    auto* coefficientRow = new QHBoxLayout;
    coefficientRow->addWidget(new QLabel(Tr("IDC_ADV_COEF", "Coefficient (%)"), this));
    coefficientRow->addWidget(coefficient_);
    coefficientRow->addStretch(1);

    auto* functionBox = new QGroupBox(this);
    auto* functionLayout = new QVBoxLayout(functionBox);
    function_ = new QButtonGroup(this);
    const std::pair<const char*, const char*> kFunctions[4] = {
        {"IDC_ADV_ANTERO", "Change anterogr.conduction time"},
        {"IDC_ADV_RETRO", "Change retrogr. conduction time"},
        {"IDC_ADV_ARP", "Change Absolute refract.period"},
        {"IDC_ADV_ESCAPE", "Change Escape period"},
    };
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(LiteralAmpersands(Tr(kFunctions[i].first, kFunctions[i].second)), functionBox);
        radio->setObjectName(QString::number(1115 + i));
        function_->addButton(radio, i);
        functionLayout->addWidget(radio);
    }
    if (QAbstractButton* chosen = function_->button(values_.function)) chosen->setChecked(true);

    auto* areaBox = new QGroupBox(this);
    auto* areas = new QGridLayout(areaBox);
    rightAtrium_ = Check(1120, Tr("IDC_ADV_RA", "Rigth Atrium"), values_.rightAtrium, areaBox);
    leftAtrium_ = Check(1121, Tr("IDC_ADV_LA", "Left Atrium"), values_.leftAtrium, areaBox);
    avNode_ = Check(1122, Tr("IDC_ADV_AV", "A-V node"), values_.avNode, areaBox);
    rightVentricle_ = Check(1123, Tr("IDC_ADV_RV", "Rigth Ventricule"), values_.rightVentricle, areaBox);
    leftVentricle_ = Check(1124, Tr("IDC_ADV_LV", "Left Ventricule"), values_.leftVentricle, areaBox);
    byName_ = Check(1013, Tr("IDC_ADV_BYNAME", "Name beginning by"), values_.byName, areaBox);
    nameText_ = new QLineEdit(FromWestern(values_.nameText), areaBox);
    nameText_->setObjectName("1014");
    nameText_->setMaxLength(kCellNameSize);
    areas->addWidget(rightAtrium_, 0, 0);
    areas->addWidget(leftAtrium_, 0, 1);
    areas->addWidget(avNode_, 1, 0, 1, 2);
    areas->addWidget(rightVentricle_, 2, 0);
    areas->addWidget(leftVentricle_, 2, 1);
    areas->addWidget(byName_, 3, 0);
    areas->addWidget(nameText_, 3, 1);

    parasympathetic_ = Check(1015, Tr("IDC_ADV_PARASYMP", "Parasympathetic value"), values_.parasympathetic, this);
    sympathetic_ = Check(1016, Tr("IDC_ADV_SYMP", "Sympathetic value"), values_.sympathetic, this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(coefficientRow);
    layout->addWidget(functionBox);
    layout->addWidget(areaBox);
    layout->addWidget(parasympathetic_);
    layout->addWidget(sympathetic_);
    layout->addWidget(OkCancelButtons(this));
}

void CAdvFunctions::accept() {
    int32_t coefficient = 0;
    if (!ReadIntField(this, coefficient_, kAdvancedCoefficientMin, kAdvancedCoefficientMax, FieldSign::Signed,
                      coefficient))
        return;
    values_.coefficient = coefficient;
    values_.function = std::max(function_->checkedId(), 0);
    values_.rightAtrium = rightAtrium_->isChecked();
    values_.leftAtrium = leftAtrium_->isChecked();
    values_.avNode = avNode_->isChecked();
    values_.rightVentricle = rightVentricle_->isChecked();
    values_.leftVentricle = leftVentricle_->isChecked();
    values_.byName = byName_->isChecked();
    values_.nameText = ToWestern(nameText_->text());
    values_.parasympathetic = parasympathetic_->isChecked();
    values_.sympathetic = sympathetic_->isChecked();
    QDialog::accept();
}

bool RunAdvancedFunctions(AdvancedFunctionValues& values, RegionalChanges& changes, CCoeur& heart,
                          QWidget* parent) {
    CAdvFunctions dialog(values, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    values = dialog.Values();
    std::lock_guard<std::mutex> guard(heart.lock);
    changes.Apply(heart, values);
    return true;
}

}  // namespace vantrel
