#include "app/dialogs/setup_application_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <cstring>
#include <mutex>

#include "app/dialogs/ok_cancel_buttons.h"
#include "app/ui_text.h"
#include "engine/heart_record.h"

namespace vantrel {

CSETUPApp::CSETUPApp(CCoeur& heart, int32_t& linkClickFullVolume, QWidget* parent)
    : QDialog(parent), heart_(heart), linkClickFullVolume_(linkClickFullVolume) {
    setObjectName("SetupApplication");
    setWindowTitle(Tr("IDC_SETUP", "Setup Application"));
    cells_ = new QListWidget(this);
    cells_->setObjectName("1020");
    int32_t reference = -1;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        for (int32_t i = 0; i < heart_.cellCount; ++i) {
            const CCell& cell = heart_.cells[i];
            cells_->addItem(FromWestern(std::string(cell.name, strnlen(cell.name, kCellNameSize))));
        }
        reference = heart_.isochroneRefIndex;
    }
    if (reference >= 0 && reference < cells_->count()) {
        cells_->setCurrentRow(reference);
        cells_->scrollToItem(cells_->currentItem());
    }
    linkClick_ = new QCheckBox(LiteralAmpersands(Tr("IDC_CLICKLIEN_FV", "Click in link active in Full Volume")), this);
    linkClick_->setObjectName("1119");
    linkClick_->setChecked(linkClickFullVolume_ != 0);

    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(Tr("IDC_REFCELL_INT", "Reference Cell for interval measurement"), this);
    caption->setObjectName("1030");
    layout->addWidget(caption);
    layout->addWidget(cells_);
    layout->addWidget(linkClick_);
    layout->addWidget(OkCancelButtons(this));
}

void CSETUPApp::accept() {
    linkClickFullVolume_ = linkClick_->isChecked() ? 1 : 0;
    const int32_t chosen = cells_->currentRow();
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        // No cell chosen (a model without cells): the reference cell stays as it is.
        if (chosen >= 0 && chosen < heart_.cellCount && chosen != heart_.isochroneRefIndex) {
            const int32_t old = heart_.isochroneRefIndex;
            if (old >= 0 && old < heart_.cellCount) heart_.cells[old].isochroneRef = 0;
            heart_.isochroneRefIndex = chosen;
            heart_.cells[chosen].isochroneRef = 1;
        }
    }
    QDialog::accept();
}

bool RunSetupApplication(CCoeur& heart, int32_t& linkClickFullVolume, QWidget* parent) {
    CSETUPApp dialog(heart, linkClickFullVolume, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vantrel
