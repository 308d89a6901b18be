// The flat picture of the heart model on the heart-model screen: every cell a small shape coloured
// by its state, every link a coloured line, the electrode frames, the intracardiac colour keys and
// the pacemaker panel, plus the hit tests that turn clicks into cells, links and leads.
//
// The model's picture coordinates are mapped into the picture's rectangle by one scale (the same
// on both axes) and one offset, fitted to the model's bounding box with a margin; drawing and hit
// testing use the same mapping, so every rule of shapes, labels and click boxes holds in model
// coordinates.  Without a rectangle (SetLayout not called) the mapping is the identity.
//
// Drawing reads the record in two steps: a short look under the model lock copies what is to be
// drawn (positions, colours, labels), then the painting runs without the lock, so that the engine
// never waits for the picture.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTransform>
#include <cstdint>
#include <string>

#include "display/ui/cell_repaint_queue.h"
#include "engine/heart_record.h"
#include "engine/pacemaker.h"

class QPainter;

namespace vantrel {

// Entries of the display-style list (control 118), in list order.
enum PictureStyle : int32_t {
    kStyleName = 0,             // the cell's name
    kStyleSkeleton = 1,         // 3D only: no label
    kStyleFullVolume = 2,       // 3D only: no label
    kStyleDepolarization = 3,   // activation time, cells in their isochrone colour
    kStyleArp = 4,              // current absolute refractory period, ms
    kStyleAntCond = 5,          // current anterograde conduction time, ms
    kStyleRetCond = 6,          // current retrograde conduction time, ms
    kStyleEscapeRate = 7,       // escape frequency, beats per minute
    kStyleEscapeCounter = 8,    // escape down counter, ms
    kStyleConductCounter = 9,   // conduction down counter, ms
    kStyleArpCounter = 10,      // absolute-refractory down counter, ms
};
inline constexpr int kPictureStyleCount = 11;
inline constexpr int kDefaultPictureStyle = kStyleFullVolume;  // "SelCell" when the file has none

struct PictureStyleEntry {
    const char* key;   // translation key
    const char* text;  // English text
};
// The entry of a style index; index outside the list gives entry 0.
const PictureStyleEntry& PictureStyleAt(int32_t style);
// The list's texts in the current language.
QStringList PictureStyleNames();

// Electrode numbers of the picture: four intracardiac leads, three pacemaker leads.
inline constexpr int kElectrodeIc1 = 0;
inline constexpr int kElectrodeAtrial = 10;
inline constexpr int kElectrodeVentricular = 11;
inline constexpr int kElectrodeVentricular2 = 12;
inline constexpr int kDrawnElectrodes[] = {0, 1, 2, 3, 10, 11, 12};

// Pacemaker modes (kPmNone .. kPmCrt) are the engine's, as the pacemaker list numbers them.

// A font given as the cell height and average character width in pixels of the "Arial" metrics.
QFont PictureFont(int cellHeight, int averageWidth);

// The heart's text bytes (Western European) as shown, and back.
QString TextFromBytes(const std::string& bytes);
QString TextFromBytes(const char* bytes);

// Colour of activation time t (ms): red for the earliest, then yellow, green, cyan, blue.
QColor IsochroneColour(int32_t t);
QColor LinkColour(LinkType type);
QColor ElectrodeColour(int32_t electrode);  // black for a number that names no electrode
// Fill of a cell in a display style; the tests run in a fixed order (first match wins).
QColor CellFill(const CCell& cell, int32_t style);
// The label drawn with a cell in a display style at tone `tone`, empty when the style has none.
std::string CellLabel(const CCell& cell, int32_t style, int32_t tone);
// The cell an electrode sits on, -1 when not placed (or not a cell of the loaded model).
int32_t ElectrodeCell(const HeartState& heart, int32_t electrode);
// Runs the pacemaker's mode rule over the lead cells and re-marks the electrodes on the cells;
// caller holds the model lock.
void ApplyLeadMarks(CCoeur& heart);
// "I.C.k", with " ?" while the electrode is not placed: the caption of the k-th button (1..4).
QString IcButtonCaption(int k, bool placed);

// One cell as it is to be drawn, taken under the model lock.
struct CellLook {
    int32_t x = 0, y = 0;  // cell position
    int32_t type = 1;      // 0 octagon, 1 rectangle
    QRgb fill = 0;
    char label[24] = {};
    bool drawn = false;  // false for an index that names no cell of the model
};
CellLook LookOfCell(const CCoeur& heart, int32_t cell, int32_t style, int32_t tone);
// Draws a cell in the painter's (model) coordinates; the label is dark on light fills and light on
// dark ones, and never leaves the cell's box.  `lineWidth` is the outline's width in device-
// independent pixels.
void DrawCellLook(QPainter& painter, const CellLook& look, int lineWidth = 1);
// The box of a cell's shape in model coordinates (the label stays inside it).
QRect CellShapeBox(const CellLook& look);
// The pixels a cell's drawing can touch, in model coordinates, for screen updates.
QRect CellLookBounds(const CellLook& look);
// Dark or light text for a fill, whichever reads better on it.
QColor LabelColourOn(QRgb fill);

// The pacemaker panel under the picture: a can outline with the three lead rectangles in its
// cut-away corner.  Geometry fixed from the layout size.
class PacemakerPanel {
public:
    PacemakerPanel(int32_t layoutWidth, int32_t layoutHeight);
    QPolygon Outline() const;
    QRect LeadRect(int32_t electrode) const;  // electrode 10, 11 or 12
    QRect Bounds() const;                     // the box filled black when the pacemaker goes off
    // Which lead placement a click starts in `mode`, tested "A", "V", "V'": 10, 11, 12 or 0.
    int32_t HitLead(int32_t x, int32_t y, int32_t mode) const;
    void Draw(QPainter& painter, int32_t mode, const int32_t leadCells[3]) const;
    void Clear(QPainter& painter) const;

private:
    int32_t x0_, y0_, a_;
};

class HeartPicture2D {
public:
    HeartPicture2D(CCoeur& heart, int32_t layoutWidth, int32_t layoutHeight);

    // A new layout size: the off-screen bitmap (at `devicePixelRatio`), the pacemaker panel's
    // place, and the rectangle the model is fitted into (in view coordinates).
    void SetLayout(int32_t layoutWidth, int32_t layoutHeight, const QRect& pictureRect, qreal devicePixelRatio);
    // Model coordinates to view coordinates, as last fitted.
    const QTransform& ModelToView() const { return toView_; }
    // The model's bounding box as last fitted, in view coordinates (empty with no cells).
    QRect FittedModelBox() const { return toView_.mapRect(modelBox_); }

    // What the view's paint does before drawing: the next DrawHeart covers the whole height.
    void PrepareForPaint();
    // The whole flat picture, composed off-screen and copied to `client` in one block.  `style` is
    // the display-style list's selection; it is stored in the heart record.
    void DrawHeart(QPainter& client, int32_t style);
    // The full redraw after a placement or a chamber change: pacemaker mode applied, picture,
    // colour keys and (with a pacemaker mode) the pacemaker panel.  `icBaselines` are the
    // intracardiac traces' baselines.
    void RedrawHeart(QPainter& client, int32_t style, const int32_t icBaselines[4]);
    // One cell, one link or one electrode frame, straight on `client`; each takes the lock briefly.
    void DrawCell2D(QPainter& client, int32_t style, int32_t cell, int32_t tone);
    void DrawLink2D(QPainter& client, int32_t link);
    void DrawElectrode2D(QPainter& client, int32_t electrode);
    void DrawIcKeys(QPainter& client, const int32_t icBaselines[4]) const;
    // The pacemaker panel in the current mode; when the pacemaker has been switched off, its box
    // is filled black once.
    void DrawPacemakerPanel(QPainter& client);
    // Forgets the queued cells (the screen no longer shows the picture).
    void DropCellRepaints();

    // The first cell whose click box holds the point, or -1.
    int32_t HitCell(int32_t x, int32_t y) const;
    // The first link whose stored click square holds the point, or -1.
    int32_t HitLink(int32_t x, int32_t y) const;

    // Cell-changed messages: the cell is queued and drawn by the next FlushCellRepaints, which
    // reads all queued cells under one short lock.  Returns true when the queue was empty, so the
    // caller schedules one flush for the whole burst.
    bool QueueCellRepaint(int32_t cell);
    // Draws the queued cells on `client` in the current style and tone; returns the area touched.
    QRect FlushCellRepaints(QPainter& client);

    bool Busy() const { return drawingBusy_; }
    const QImage& Offscreen() const { return offscreen_; }
    const PacemakerPanel& Panel() const { return panel_; }
    int32_t PictureLeft() const { return pictureLeft_; }
    int32_t PictureBottom() const { return pictureBottom_; }
    int32_t LayoutWidth() const { return width_; }
    int32_t LayoutHeight() const { return height_; }

private:
    struct LinkLook {
        int32_t ax = 0, ay = 0, bx = 0, by = 0;
        LinkType type = LinkType::Bidir;
        bool midpoint = true;
        bool drawn = false;  // false when one of its cells is not in the model
    };
    // Copies one link's drawing and stores its click square; caller holds the lock.
    LinkLook TakeLinkLook(int32_t link);
    void PaintLink(QPainter& painter, const LinkLook& look) const;
    void PaintElectrode(QPainter& painter, int32_t electrode, int32_t x, int32_t y) const;
    // Fits the model's box of the taken looks into the picture rectangle.
    void FitModel();
    QPoint ToModel(int32_t x, int32_t y) const;
    // Copies a view rectangle of the off-screen bitmap onto `client`.
    void CopyToClient(QPainter& client, const QRect& r) const;

    CCoeur& heart_;
    int32_t width_, height_;
    PacemakerPanel panel_;
    QRect pictureRect_;   // where the model is fitted, view coordinates; empty = identity
    QRect modelBox_;      // the model's box in model coordinates, as last fitted
    QTransform toView_;   // model to view coordinates
    QTransform toModel_;  // its inverse
    int lineWidth_ = 1;   // outlines and links, pixels: thicker as the picture is scaled up
    QImage offscreen_;
    int32_t pictureLeft_ = 1;
    int32_t pictureBottom_;
    int32_t fullCopyCounter_ = 1;
    bool drawingBusy_ = false;
    bool panelShown_ = false;

    // Taken under the lock at each full drawing, painted after it.
    CellLook cellLooks_[kMaxCells];
    int32_t cellLookCount_ = 0;
    LinkLook linkLooks_[kMaxLinks];
    int32_t linkLookCount_ = 0;
    int32_t electrodeX_[kElectrodeCount] = {}, electrodeY_[kElectrodeCount] = {};
    bool electrodePlaced_[kElectrodeCount] = {};

    CellRepaintQueue pendingCells_;  // cells whose messages came since the last flush
};

}  // namespace vantrel
