// The view's row of controls under the heart picture ("SVPB", "VPB", "PR=", "QT=", "Record" and
// the display-style list), laid out from the widths of their texts in the language in force, and
// the view's own control texts (and its tool panels') taken again when the language changes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <algorithm>
#include <mutex>

#include "app/control_flow.h"
#include "app/dialogs/child_panel.h"
#include "app/tone_panel.h"
#include "app/ui_text.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"
#include "app/view_controls.h"

namespace vantrel {

namespace {

constexpr int kGap = 4;          // between neighbours of a line
constexpr int kLineStep = 26;    // from one line of the row to the next: a list's 24 pixels and a gap
constexpr int k3DBandHeight = 46;  // the chamber boxes and the azimuth bar above the row
constexpr int kLeastListWidth = 96;  // a style list narrower than this shows too little of its entry

// The width a push button needs to show the widest of `texts` whole, with the style's margins.
int ButtonWidth(const QPushButton* button, std::initializer_list<QString> texts) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = QRect(0, 0, 200, 22);
    const int margins =
        200 - button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
    int text = 0;
    for (const QString& t : texts) text = std::max(text, button->fontMetrics().horizontalAdvance(t));
    return std::max(48, text + margins + 8);
}

}  // namespace

int CCVantrelView::LayOutPictureRow(const ViewRects& rects) {
    const QRect row = rects.pictureControls;
    const int buttonWidth = ButtonWidth(svpbButton_, {svpbButton_->text(), vpbButton_->text()});
    // The labels show "PR=%d" up to 499 and "QT=%d" up to 799, or " - ".
    const QFontMetrics labelMetrics(prLabel_->font());
    const int labelWidth = std::max({labelMetrics.horizontalAdvance(QStringLiteral("PR=000")),
                                     labelMetrics.horizontalAdvance(QStringLiteral("QT=000")),
                                     labelMetrics.horizontalAdvance(QStringLiteral(" - "))}) + 4;
    // Wide enough for "Record" and for "Stop", so that the toggle never cuts its caption.
    const int recordWidth = ButtonWidth(recordButton_, {Tr("ID_RECORD", "Record"), Tr("ID_STOP", "Stop")});
    const int listWidth = styleList_->sizeHint().width();
    const std::vector<FlowItem> items = {
        {buttonWidth, 0, false}, {buttonWidth, 0, false}, {labelWidth, 0, false},
        {labelWidth, 0, false},  {recordWidth, 0, false}, {listWidth, std::min(listWidth, kLeastListWidth), true},
    };
    // The bottom line spans the half; the lines above it end left of the pacemaker panel's can
    // and leave room above them for the 3D picture's chamber boxes and azimuth bar.
    const int canLeft = 5 * layout_.layoutWidth / 12;
    const int upperRight = std::min(row.right() + 1, canLeft - 6);
    std::vector<FlowLine> lines;
    for (int top = row.top() - kLineStep; top - k3DBandHeight >= rects.picture.bottom() + 2; top -= kLineStep)
        lines.insert(lines.begin(), FlowLine{row.left(), upperRight});
    lines.push_back(FlowLine{row.left(), row.right() + 1});
    const FlowResult flow = FlowControls(items, lines, kGap);

    const int topOfRows = row.top() - (flow.lineCount - 1) * kLineStep;
    QWidget* widgets[] = {svpbButton_, vpbButton_, prLabel_, qtLabel_, recordButton_, styleList_};
    const int dy[] = {1, 1, 4, 4, 1, 0};
    const int height[] = {22, 22, 16, 16, 22, 24};
    for (size_t i = 0; i < items.size(); ++i) {
        const FlowPlacement& at = flow.items[i];
        widgets[i]->setGeometry(at.x, topOfRows + at.line * kLineStep + dy[i], at.width, height[i]);
    }
    return topOfRows;
}

void CCVantrelView::TranslateControls() {
    if (!vpbButton_) return;
    vpbButton_->setText(Tr("ID_VPB", "VPB"));
    svpbButton_->setText(Tr("ID_SVPB", "SVPB"));
    bool recording = false;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        recording = doc_.heart.recordIntervals != 0;
    }
    recordButton_->setText(recording ? Tr("ID_STOP", "Stop") : Tr("ID_RECORD", "Record"));
    const char* chamberKeys[4][2] = {{"ID_RA", "RA"}, {"ID_LA", "LA"}, {"ID_RV", "RV"}, {"ID_LV", "LV"}};
    for (int i = 0; i < 4; ++i) chamberBox_[i]->setText(Tr(chamberKeys[i][0], chamberKeys[i][1]));
    const QStringList styles = PictureStyleNames();
    for (int i = 0; i < styles.size() && i < styleList_->count(); ++i) styleList_->setItemText(i, styles[i]);
    tone_.svbLabel->setText(Tr("IDC_SVB", "SVB"));
    tone_.arLabel->setText(Tr("IDC_AR", "AR"));
    for (int n = 1; n <= 4; ++n) UpdateElectrodeCaption(n);
    if (doc_.commentsCaption) doc_.commentsCaption->setText(Tr("IDC_COMMENTS", "Comments of TXT files"));
    // The tool panels, open or not, keep their values; an open one takes its new size at once.
    for (ChildPanel* panel : Panels()) panel->Retranslate();
    // The new texts have their own widths: the screen is laid out again at the next paint, and
    // the open panels find clear places among the controls laid out again.
    previousMode_ = 0;
}

}  // namespace vantrel
