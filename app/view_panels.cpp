// The view's tool panels (premature beats, pacemaker, stimulator, and any a screen adds): where
// they open and where they go when the screen or the window size changes.  A panel never lies on
// a trace band, a control, the frozen screen's trend or another open panel; it opens whole where
// it can, else in the largest clear room, scrolling its controls there; when the open panels cannot
// all find room, they share the view (app/panel_placement.h).
#include <algorithm>
#include <tuple>

#include "app/comment_page.h"
#include "app/dialogs/child_panel.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/stimulator_dialog.h"
#include "app/panel_placement.h"
#include "app/vantrel_view.h"

namespace vantrel {

QList<ChildPanel*> CCVantrelView::Panels() const {
    QList<ChildPanel*> panels;
    for (ChildPanel* panel : {static_cast<ChildPanel*>(prematurePanel_), static_cast<ChildPanel*>(pacemakerDialog_),
                              static_cast<ChildPanel*>(stimulatorDialog_)})
        if (panel) panels << panel;
    // Panels that other screens add are found as children too.
    for (ChildPanel* panel : findChildren<ChildPanel*>(QString(), Qt::FindDirectChildrenOnly))
        if (!panels.contains(panel)) panels << panel;
    return panels;
}

std::vector<QRect> CCVantrelView::PanelForbiddenRects() const {
    const ViewRects rects = Rects();
    std::vector<QRect> forbidden;
    if (rects.stripShown)
        for (const QRect& band : rects.traceBands) forbidden.push_back(band);
    if (!rects.trendPanel.isEmpty()) forbidden.push_back(rects.trendPanel);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        // The comment page is text to read, not a control: panels may lie over it (at a cost).
        if (!child->isVisible() || qobject_cast<ChildPanel*>(child) || child == commentPage_) continue;
        if (!child->isWindow()) forbidden.push_back(child->geometry());
    }
    return forbidden;
}

namespace {

// The arrangements a panel can take, each with the size that shows its controls whole: the
// stimulator has three, the others one.
std::vector<QSize> PanelShapes(ChildPanel* panel) {
    panel->adjustSize();
    auto* stimulator = qobject_cast<CORTHO*>(panel);
    if (!stimulator) return {panel->sizeHint()};
    std::vector<QSize> shapes;
    const StimulatorShape kept = stimulator->Shape();
    for (StimulatorShape shape : kStimulatorShapes) {
        stimulator->SetShape(shape);
        shapes.push_back(stimulator->sizeHint());
    }
    stimulator->SetShape(kept);
    return shapes;
}

void PutPanel(ChildPanel* panel, const ShrunkPlacement& placement) {
    if (auto* stimulator = qobject_cast<CORTHO*>(panel)) stimulator->SetShape(kStimulatorShapes[placement.shape]);
    panel->setGeometry(placement.rect);
}

}  // namespace

void CCVantrelView::ArrangePanels(ChildPanel* opening) {
    const ViewRects rects = Rects();
    std::vector<QRect> forbidden = PanelForbiddenRects();
    std::vector<AvoidedArea> avoided;
    if (displayMode_ == kScreenHeart) {
        avoided.push_back({rects.picture, 2});
        avoided.push_back({rects.commentPage, 1});
    }
    const QPoint preferred(rects.toneColumn.right() + 6, 4);
    auto request = [](ChildPanel* panel) {
        return PanelRequest{PanelShapes(panel), panel->minimumSizeHint(), panel->ScrollBarExtent()};
    };

    // The panel that opens goes where it fits whole, the others staying where they are.
    std::vector<ChildPanel*> open;
    if (opening) open.push_back(opening);
    for (ChildPanel* panel : Panels())
        if (panel != opening && panel->isVisible()) open.push_back(panel);
    if (opening) {
        std::vector<QRect> clear = forbidden;
        for (size_t i = 1; i < open.size(); ++i) clear.push_back(open[i]->geometry());
        const PanelRequest wanted = request(opening);
        const ShrunkPlacement alone =
            PlaceShrinkingPanel(wanted, rects.panelArea.size(), rects.panelArea, clear, avoided, preferred);
        if (alone.fits && alone.rect.size() == wanted.shapes[alone.shape]) {
            PutPanel(opening, alone);
            return;
        }
    }
    // Else every open panel is placed again, the opening one first: they share the room.
    std::vector<PanelRequest> requests;
    for (ChildPanel* panel : open) requests.push_back(request(panel));
    const std::vector<ShrunkPlacement> placed =
        vantrel::ArrangePanels(requests, rects.panelArea, forbidden, avoided, preferred);
    for (size_t i = 0; i < open.size(); ++i) PutPanel(open[i], placed[i]);
}

void CCVantrelView::OpenPanel(ChildPanel* panel) {
    if (!panel) return;
    ArrangePanels(panel);
    panel->show();
    panel->raise();
    panel->setFocus();
}

void CCVantrelView::KeepPanelsClear() {
    const std::vector<QRect> forbidden = PanelForbiddenRects();
    std::vector<ChildPanel*> open;
    for (ChildPanel* panel : Panels())
        if (panel->isVisible()) open.push_back(panel);
    // A panel that covers something, or another panel, or that had to take less than its size
    // (which a larger window may now give it), makes them all find their places again.
    bool again = false;
    for (ChildPanel* panel : open) {
        panel->KeepInsideParent();
        const QRect r = panel->geometry();
        const QSize wanted = panel->sizeHint();
        again = again || r.width() < wanted.width() || r.height() < wanted.height();
        again = again || std::any_of(forbidden.begin(), forbidden.end(), [&](const QRect& f) { return r.intersects(f); });
        for (ChildPanel* other : open) again = again || (other != panel && r.intersects(other->geometry()));
    }
    if (again) ArrangePanels(nullptr);
}

}  // namespace vantrel
