#include "display/ui/heart_picture_mouse.h"

#include <mutex>

#include "display/ui/heart_picture_2d.h"
#include "engine/heart_record.h"

namespace vantrel {

void HeartPictureMouse::StartPlacingIc(int k) {
    if (k < 1 || k > 4) return;
    pendingElectrode_ = k;
    placingCursor_ = true;
    host_.ShowPlacingCursor(true);
}

void HeartPictureMouse::DropCursor() {
    placingCursor_ = false;
    host_.ShowPlacingCursor(false);
}

void HeartPictureMouse::OnLButtonDown(int32_t x, int32_t y) {
    int32_t cell = host_.HitCell3D(x, y);
    if (cell == -2) cell = picture_.HitCell(x, y);
    if (pendingElectrode_ != 0) {
        Place(cell);
        return;
    }
    if (cell >= 0) {
        host_.OpenCellSetting(cell);
        host_.RepaintView();
        return;
    }
    if (!host_.LinkClicksOff()) {
        int32_t link = host_.HitLink3D(x, y);
        if (link == -2) link = picture_.HitLink(x, y);
        if (link >= 0) {
            {
                std::lock_guard<std::mutex> guard(heart_.lock);
                heart_.links[link].linkType = NextLinkType(heart_.links[link].linkType);
            }
            host_.RedrawLink(link);
            return;
        }
    }
    int32_t mode = kPmNone;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        mode = heart_.pmMode;
    }
    if (mode == kPmNone) return;
    const int32_t lead = picture_.Panel().HitLead(x, y, mode);
    if (lead == 0) return;
    pendingElectrode_ = lead;
    placingCursor_ = true;
    host_.ShowPlacingCursor(true);
}

void HeartPictureMouse::Place(int32_t cell) {
    const int32_t k = pendingElectrode_;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        if (k >= 1 && k <= 4) {
            heart_.icCell[k - 1] = cell;
            heart_.electrodes[k - 1].cell = cell;
        } else {
            if (k == kElectrodeAtrial) heart_.pmAtrialCell = cell;
            if (k == kElectrodeVentricular) heart_.pmVentricularCell = cell;
            if (k == kElectrodeVentricular2) heart_.pmVentricular2Cell = cell;
            ApplyLeadMarks(heart_);
        }
    }
    if (k >= 1 && k <= 4) host_.SetIcButtonCaption(k, IcButtonCaption(k, cell >= 0));
    host_.ElectrodePlaced(k, cell);
    if (!picture_.Busy()) host_.RedrawHeart();
    pendingElectrode_ = 0;
    placingCursor_ = false;
    host_.ShowPlacingCursor(false);
}

}  // namespace vantrel
