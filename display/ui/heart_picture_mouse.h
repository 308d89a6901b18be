// What a left click on the heart-model screen does: open a cell's settings, cycle a link's
// conduction type, start placing a pacemaker lead from the pacemaker panel, or place the
// electrode or lead that is waiting for a cell.  The view owns the screen and implements the host;
// this class owns the placement state.
#pragma once

#include <QString>
#include <cstdint>

namespace vantrel {

struct CCoeur;
class HeartPicture2D;

// What the view does for the click handler.
class HeartPictureHost {
public:
    virtual ~HeartPictureHost() = default;
    // The modal "Cell setting" dialog on that cell; on return the view is repainted.
    virtual void OpenCellSetting(int32_t cell) = 0;
    virtual void RepaintView() = 0;
    // Draw that one link at once on the screen.
    virtual void RedrawLink(int32_t link) = 0;
    // The full redraw of the picture (RedrawHeart).
    virtual void RedrawHeart() = 0;
    virtual void SetIcButtonCaption(int k, const QString& caption) = 0;
    // The hand cursor while a placement waits, the arrow otherwise.
    virtual void ShowPlacingCursor(bool on) = 0;
    // An electrode (1..4, or a pacemaker lead's number) was placed on `cell` (-1: removed).
    virtual void ElectrodePlaced(int32_t /*electrode*/, int32_t /*cell*/) {}
    // True when the link test is skipped: the 3D picture in "Full volume" with link clicks off.
    virtual bool LinkClicksOff() const { return false; }
    // The 3D picture hit-tests cells at their projected points; -2 = the flat picture's test.
    virtual int32_t HitCell3D(int32_t /*x*/, int32_t /*y*/) const { return -2; }
    virtual int32_t HitLink3D(int32_t /*x*/, int32_t /*y*/) const { return -2; }
};

class HeartPictureMouse {
public:
    HeartPictureMouse(CCoeur& heart, HeartPicture2D& picture, HeartPictureHost& host)
        : heart_(heart), picture_(picture), host_(host) {}

    // Commands 107..110 on the heart-model screen: the next click places "I.C.k" (k = 1..4).
    void StartPlacingIc(int k);
    void OnLButtonDown(int32_t x, int32_t y);
    // The ECG and frozen screens turn the hand cursor off but keep the placement waiting.
    void DropCursor();

    // 0 none; 1..4 "I.C.1".."I.C.4"; 10, 11, 12 the pacemaker leads "A", "V", "V'".
    int32_t PendingElectrode() const { return pendingElectrode_; }
    bool PlacingCursor() const { return placingCursor_; }

private:
    void Place(int32_t cell);

    CCoeur& heart_;
    HeartPicture2D& picture_;
    HeartPictureHost& host_;
    int32_t pendingElectrode_ = 0;
    bool placingCursor_ = false;
};

}  // namespace vantrel
