#include "display/ui/heart_picture_2d.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <mutex>

#include "engine/cell_automaton.h"
#include "engine/pacemaker.h"
#include "engine/program_wide.h"

namespace vantrel {

namespace {

constexpr PictureStyleEntry kStyleEntries[kPictureStyleCount] = {
    {"ID_CellName", "Name"},
    {"ID_SKELET", "Skeleton"},
    {"ID_FullV", "Full volume"},
    {"ID_Depol", "Depolarization"},
    {"ID_ARP", "Abs.Refract.period"},
    {"ID_ACT", "Anterog.conduction time"},
    {"ID_RCT", "Retrogr..conduction time"},
    {"ID_ESF", "Escape frequency"},
    {"ID_EscDC", "Escape down counter"},
    {"ID_CTDC", "Conduct.time down counter"},
    {"ID_RPDC", "Depolariz.down counter"},
};

const QFont& SmallCellFont() {
    static const QFont font = PictureFont(11, 4);
    return font;
}

const QFont& LargeCellFont() {
    static const QFont font = PictureFont(15, 7);
    return font;
}

const QFont& PanelFont() {
    static const QFont font = PictureFont(12, 6);
    return font;
}

bool IsCell(const HeartState& heart, int32_t cell) { return cell >= 0 && cell < heart.cellCount; }

}  // namespace

// A label font given as the cell height and average character width in pixels of the "Arial"
// metrics: the pixel size is the em of that cell height, the stretch brings the average width
// to the one asked for.
QFont PictureFont(int cellHeight, int averageWidth) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, cellHeight * 87 / 100));
    const int natural = QFontMetrics(font).averageCharWidth();
    if (natural > 0) font.setStretch(std::clamp(averageWidth * 100 / natural, 50, 200));
    return font;
}

const PictureStyleEntry& PictureStyleAt(int32_t style) {
    if (style < 0 || style >= kPictureStyleCount) style = 0;
    return kStyleEntries[style];
}

QStringList PictureStyleNames() {
    QStringList names;
    for (const PictureStyleEntry& entry : kStyleEntries)
        names << TextFromBytes(Translate(entry.key, entry.text));
    return names;
}

QString TextFromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString TextFromBytes(const char* bytes) { return QString::fromLatin1(bytes ? bytes : ""); }

QColor IsochroneColour(int32_t t) {
    const IsoColour c = ActivationColour(t);
    return QColor(c.red, c.green, c.blue);
}

QColor LinkColour(LinkType type) {
    switch (type) {
        case LinkType::Bidir: return QColor(64, 255, 64);
        case LinkType::BlocAntero: return QColor(255, 64, 64);
        case LinkType::BlocRetro: return QColor(255, 255, 64);
        case LinkType::BlocComplet: return QColor(100, 100, 100);
    }
    return QColor(100, 100, 100);
}

QColor ElectrodeColour(int32_t electrode) {
    switch (electrode) {
        case 0: return QColor(255, 255, 0);
        case 1: return QColor(255, 150, 0);
        case 2: return QColor(170, 255, 0);
        case 3: return QColor(255, 100, 255);
        case kElectrodeAtrial: return QColor(0, 210, 255);
        case kElectrodeVentricular: return QColor(255, 80, 80);
        case kElectrodeVentricular2: return QColor(200, 0, 120);
        default: return QColor(0, 0, 0);
    }
}

QColor CellFill(const CCell& cell, int32_t style) {
    const QColor isochrone(cell.isoRed & 0xFF, cell.isoGreen & 0xFF, cell.isoBlue & 0xFF);
    if (cell.arpCounter > 0 && cell.conductCounter != 0) return QColor(255, 255, 128);
    if (cell.arpCounter > 0 && style == kStyleDepolarization) return isochrone;
    if (cell.arpCounter > 0) return QColor(255, 64, 64);
    if (style == kStyleDepolarization) return isochrone;
    // The refractory test comes before the inert one: an ablated cell still refractory is magenta.
    if (cell.rrpCounter > 0) return QColor(255, 0, 255);
    if (cell.escapeB >= kInertEscape) return QColor(128, 0, 0);
    return QColor(64, 64, 255);
}

std::string CellLabel(const CCell& cell, int32_t style, int32_t tone) {
    switch (style) {
        case kStyleName: return std::string(cell.name, strnlen(cell.name, sizeof cell.name));
        case kStyleDepolarization: return std::to_string(cell.activationTime);
        case kStyleArp: return std::to_string(ArpTicks(cell, tone) * 5);
        case kStyleAntCond: return std::to_string(AntTicks(cell, tone) * 5);
        case kStyleRetCond: return std::to_string(RetTicks(cell, tone) * 5);
        case kStyleEscapeRate: {
            // An escape period under one tick has no rate to show.
            const int32_t period = EscapeTicks(cell, tone);
            return period > 0 ? std::to_string(12000 / period) : std::string("-");
        }
        case kStyleEscapeCounter: return std::to_string(cell.escapeCounter * 5);
        case kStyleConductCounter: return std::to_string(cell.conductCounter * 5);
        case kStyleArpCounter: return std::to_string(cell.arpCounter * 5);
        default: return std::string();
    }
}

int32_t ElectrodeCell(const HeartState& heart, int32_t electrode) {
    int32_t cell = -1;
    if (electrode >= 0 && electrode < 4) cell = heart.icCell[electrode];
    else if (electrode == kElectrodeAtrial) cell = heart.pmAtrialCell;
    else if (electrode == kElectrodeVentricular) cell = heart.pmVentricularCell;
    else if (electrode == kElectrodeVentricular2) cell = heart.pmVentricular2Cell;
    else if (electrode >= 0 && electrode < kElectrodeCount) cell = heart.electrodes[electrode].cell;
    return IsCell(heart, cell) ? cell : -1;
}

void ApplyLeadMarks(CCoeur& heart) { ApplyMode(heart); }

QString IcButtonCaption(int k, bool placed) {
    return QStringLiteral("I.C.") + QString::number(k) + (placed ? QString() : QStringLiteral(" ?"));
}

CellLook LookOfCell(const CCoeur& heart, int32_t cell, int32_t style, int32_t tone) {
    CellLook look;
    if (!IsCell(heart, cell)) return look;
    const CCell& c = heart.cells[cell];
    look.drawn = true;
    look.x = c.posX;
    look.y = c.posY;
    look.type = c.cellType == 0 ? 0 : 1;
    look.fill = CellFill(c, style).rgb();
    const std::string label = CellLabel(c, style, tone);
    std::snprintf(look.label, sizeof look.label, "%s", label.c_str());
    return look;
}

QColor LabelColourOn(QRgb fill) {
    // Perceived brightness of the fill (ITU-R BT.601 weights).
    const int brightness = (qRed(fill) * 299 + qGreen(fill) * 587 + qBlue(fill) * 114) / 1000;
    return brightness >= 128 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QRect CellShapeBox(const CellLook& look) {
    if (!look.drawn) return QRect();
    if (look.type == 1) return QRect(look.x, look.y, 26, 13);
    return QRect(look.x - 30, look.y - 10, 61, 31);
}

namespace {

// The label on its point (centred, on the baseline), moved inside the cell's box when it would
// stick out, and clipped to the box when it is wider than the box.
void DrawLabelInBox(QPainter& painter, const QString& text, int x, int baseline, const QRect& box, QRgb fill) {
    const QFontMetrics fm = painter.fontMetrics();
    const int width = fm.horizontalAdvance(text);
    int left = x - width / 2;
    if (width <= box.width() - 2) left = std::clamp(left, box.left() + 1, box.right() - width);
    else left = box.left() + 1;
    painter.save();
    painter.setClipRect(box.adjusted(1, 1, -1, -1), Qt::IntersectClip);
    painter.setPen(LabelColourOn(fill));
    painter.drawText(QPoint(left, baseline), text);
    painter.restore();
}

}  // namespace

void DrawCellLook(QPainter& painter, const CellLook& look, int lineWidth) {
    if (!look.drawn) return;
    const int x = look.x, y = look.y;
    // Outlines keep whole-pixel widths whatever the picture's scale.
    QPen pen(Qt::black, lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(QColor::fromRgb(look.fill));
    const QRect box = CellShapeBox(look);
    if (look.type == 1) {
        const int b = 13;
        // 26 x 13 pixels, outline included.
        painter.drawRect(QRect(x, y, 2 * b - 1, b - 1));
        painter.setFont(SmallCellFont());
        if (look.label[0]) DrawLabelInBox(painter, TextFromBytes(look.label), x + b, y + 9, box, look.fill);
    } else {
        const int b = 10;
        const QPoint points[8] = {{x - 2 * b, y - b}, {x + 2 * b, y - b}, {x + 3 * b, y},
                                  {x + 3 * b, y + b}, {x + 2 * b, y + 2 * b}, {x - 2 * b, y + 2 * b},
                                  {x - 3 * b, y + b}, {x - 3 * b, y}};
        painter.drawPolygon(points, 8);
        painter.setFont(LargeCellFont());
        if (look.label[0]) DrawLabelInBox(painter, TextFromBytes(look.label), x + 2 * b, y + 2 * b, box, look.fill);
    }
}

QRect CellLookBounds(const CellLook& look) {
    if (!look.drawn) return QRect();
    // The shape and its outline; the label stays inside the shape's box.
    return CellShapeBox(look).adjusted(-2, -2, 2, 2);
}

// ---- Pacemaker panel ----

PacemakerPanel::PacemakerPanel(int32_t layoutWidth, int32_t layoutHeight)
    : x0_(5 * layoutWidth / 12), y0_(layoutHeight - 160), a_(7 * layoutWidth / 120) {}

QPolygon PacemakerPanel::Outline() const {
    const int x0 = x0_, y0 = y0_, a = a_;
    QPolygon p;
    p << QPoint(x0, y0) << QPoint(x0 + 40, y0) << QPoint(x0 + 40, y0 - 40) << QPoint(x0 + a, y0 - 40)
      << QPoint(x0 + a + 10, y0 - 37) << QPoint(x0 + a + 17, y0 - 30)
      << QPoint(x0 + a + 20, y0 - 20) << QPoint(x0 + a + 20, y0) << QPoint(x0 + a + 17, y0 + 10)
      << QPoint(x0 + a + 10, y0 + 17) << QPoint(x0 + a, y0 + 20) << QPoint(x0 + 20, y0 + 20)
      << QPoint(x0 + 10, y0 + 17) << QPoint(x0 + 3, y0 + 10);
    return p;
}

QRect PacemakerPanel::LeadRect(int32_t electrode) const {
    // Corners as (left, top) to (right, bottom), right and bottom outside, like every box here.
    int top = 0, bottom = 0;
    switch (electrode) {
        case kElectrodeAtrial: top = y0_ - 38, bottom = y0_ - 26; break;
        case kElectrodeVentricular: top = y0_ - 25, bottom = y0_ - 13; break;
        case kElectrodeVentricular2: top = y0_ - 12, bottom = y0_ - 1; break;
        default: return QRect();
    }
    return QRect(QPoint(x0_ + 3, top), QPoint(x0_ + 40 - 1, bottom - 1));
}

QRect PacemakerPanel::Bounds() const {
    return QRect(QPoint(x0_, y0_ - 40), QPoint(x0_ + a_ + 20 - 1, y0_ + 20 - 1));
}

namespace {
bool LeadInUse(int32_t electrode, int32_t mode) {
    switch (electrode) {
        case kElectrodeAtrial: return mode != kPmVvi;
        case kElectrodeVentricular: return mode != kPmNone && mode != kPmAai;
        case kElectrodeVentricular2: return mode == kPmCrt;
        default: return false;
    }
}
}  // namespace

int32_t PacemakerPanel::HitLead(int32_t x, int32_t y, int32_t mode) const {
    if (mode == kPmNone) return 0;
    for (int32_t lead : {kElectrodeAtrial, kElectrodeVentricular, kElectrodeVentricular2})
        if (LeadInUse(lead, mode) && LeadRect(lead).contains(x, y)) return lead;
    return 0;
}

void PacemakerPanel::Draw(QPainter& painter, int32_t mode, const int32_t leadCells[3]) const {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(190, 190, 190));
    painter.drawPolygon(Outline());
    static constexpr const char* kLetters[3] = {"A", "V", "V'"};
    painter.setFont(PanelFont());
    for (int i = 0; i < 3; ++i) {
        const int32_t lead = kElectrodeAtrial + i;
        const QRect r = LeadRect(lead);
        const bool inUse = LeadInUse(lead, mode);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(inUse ? ElectrodeColour(lead) : QColor(100, 100, 100));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        if (!inUse) continue;
        QString text = QString::fromLatin1(kLetters[i]);
        if (leadCells[i] < 0) text += QStringLiteral(" ?");
        painter.drawText(QPoint(r.left() + 5, r.bottom() + 1 - 2), text);
    }
}

void PacemakerPanel::Clear(QPainter& painter) const { painter.fillRect(Bounds(), Qt::black); }

// ---- The picture ----

HeartPicture2D::HeartPicture2D(CCoeur& heart, int32_t layoutWidth, int32_t layoutHeight)
    : heart_(heart),
      width_(std::max(layoutWidth, 64)),
      height_(std::max(layoutHeight, 64)),
      panel_(width_, height_),
      offscreen_(width_, height_, QImage::Format_RGB32),
      pictureBottom_(height_ - 5) {
    offscreen_.fill(Qt::black);
}

void HeartPicture2D::SetLayout(int32_t layoutWidth, int32_t layoutHeight, const QRect& pictureRect,
                               qreal devicePixelRatio) {
    width_ = std::max(layoutWidth, 64);
    height_ = std::max(layoutHeight, 64);
    panel_ = PacemakerPanel(width_, height_);
    const qreal ratio = std::max<qreal>(devicePixelRatio, 1.0);
    offscreen_ = QImage(static_cast<int>(width_ * ratio), static_cast<int>(height_ * ratio), QImage::Format_RGB32);
    offscreen_.setDevicePixelRatio(ratio);
    offscreen_.fill(Qt::black);
    pictureRect_ = pictureRect;
    modelBox_ = QRect();  // fitted again at the next full drawing
    PrepareForPaint();
}

void HeartPicture2D::FitModel() {
    QRect box;
    for (int32_t i = 0; i < cellLookCount_; ++i) box |= CellShapeBox(cellLooks_[i]);
    if (pictureRect_.isEmpty() || box.isEmpty()) {
        modelBox_ = box;
        toView_ = QTransform();
        toModel_ = QTransform();
        lineWidth_ = 1;
        return;
    }
    if (box == modelBox_) return;
    modelBox_ = box;
    // One scale for both axes, the box fitted with a margin and centred; a model of a few cells
    // is not blown up beyond a readable size.
    constexpr int kMargin = 8;
    constexpr double kMostScale = 10.0;
    const double sx = static_cast<double>(pictureRect_.width() - 2 * kMargin) / box.width();
    const double sy = static_cast<double>(pictureRect_.height() - 2 * kMargin) / box.height();
    const double scale = std::clamp(std::min(sx, sy), 0.05, kMostScale);
    const double dx = pictureRect_.left() + (pictureRect_.width() - box.width() * scale) / 2 - box.left() * scale;
    const double dy = pictureRect_.top() + (pictureRect_.height() - box.height() * scale) / 2 - box.top() * scale;
    toView_ = QTransform(scale, 0, 0, scale, dx, dy);
    toModel_ = toView_.inverted();
    lineWidth_ = std::max(1, static_cast<int>(scale + 0.25));
}

QPoint HeartPicture2D::ToModel(int32_t x, int32_t y) const {
    if (toView_.isIdentity()) return QPoint(x, y);
    // The pixel's centre, so that a pixel belongs to the model position it mostly covers.
    const QPointF m = toModel_.map(QPointF(x + 0.5, y + 0.5));
    return QPoint(static_cast<int>(std::floor(m.x())), static_cast<int>(std::floor(m.y())));
}

void HeartPicture2D::CopyToClient(QPainter& client, const QRect& r) const {
    const qreal ratio = offscreen_.devicePixelRatio();
    client.drawImage(QRectF(r), offscreen_, QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void HeartPicture2D::PrepareForPaint() {
    pictureLeft_ = 1;
    pictureBottom_ = height_ - 5;
    fullCopyCounter_ = 1;
}

HeartPicture2D::LinkLook HeartPicture2D::TakeLinkLook(int32_t link) {
    LinkLook look;
    CellLink& l = heart_.links[link];
    if (!IsCell(heart_, l.cellA) || !IsCell(heart_, l.cellB)) return look;  // keeps its square
    const CCell& a = heart_.cells[l.cellA];
    const CCell& b = heart_.cells[l.cellB];
    look.ax = a.posX + 15;
    look.ay = a.posY + 5;
    look.bx = b.posX + 15;
    look.by = b.posY + 5;
    look.type = l.linkType;
    look.midpoint = l.showMidpoint != 0;
    look.drawn = true;
    const int32_t mx = (a.posX + b.posX + 30) / 2;
    const int32_t my = (a.posY + b.posY + 10) / 2;
    l.hitLeft = mx - 8;
    l.hitTop = my - 8;
    l.hitRight = mx + 8;
    l.hitBottom = my + 8;
    return look;
}

void HeartPicture2D::PaintLink(QPainter& painter, const LinkLook& look) const {
    if (!look.drawn) return;
    QPen pen(LinkColour(look.type), lineWidth_);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLine(look.ax, look.ay, look.bx, look.by);
    if (!look.midpoint) return;
    const int mx = (look.ax + look.bx) / 2, my = (look.ay + look.by) / 2;
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRect(mx - 2, my - 2, 3, 3));  // a 4 x 4 pixel dot, outline included
}

void HeartPicture2D::PaintElectrode(QPainter& painter, int32_t electrode, int32_t x, int32_t y) const {
    QPen pen(ElectrodeColour(electrode), 2 * lineWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QPoint frame[4] = {{x - 1, y - 1}, {x + 27, y - 1}, {x + 27, y + 14}, {x - 1, y + 14}};
    painter.drawPolygon(frame, 4);
}

void HeartPicture2D::DrawHeart(QPainter& client, int32_t style) {
    drawingBusy_ = true;
    const int32_t entryBottom = pictureBottom_;
    int32_t tone = 0;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        heart_.pictureMode = style;
        tone = heart_.tone;
        linkLookCount_ = std::clamp<int32_t>(heart_.linkCount, 0, kMaxLinks);
        for (int32_t i = 0; i < linkLookCount_; ++i) linkLooks_[i] = TakeLinkLook(i);
        cellLookCount_ = std::clamp<int32_t>(heart_.cellCount, 0, kMaxCells);
        for (int32_t i = 0; i < cellLookCount_; ++i) cellLooks_[i] = LookOfCell(heart_, i, style, tone);
        for (int32_t e : kDrawnElectrodes) {
            const int32_t cell = ElectrodeCell(heart_, e);
            electrodePlaced_[e] = cell >= 0;
            if (cell >= 0) {
                electrodeX_[e] = heart_.cells[cell].posX;
                electrodeY_[e] = heart_.cells[cell].posY;
            }
        }
    }

    FitModel();
    QPainter off(&offscreen_);
    off.fillRect(QRect(QPoint(pictureLeft_, 0), QPoint(width_ / 2 - 1, entryBottom - 1)), Qt::black);
    pictureBottom_ = (height_ - 200) / 8 * 8;
    off.setTransform(toView_);
    for (int32_t i = 0; i < linkLookCount_; ++i) PaintLink(off, linkLooks_[i]);
    for (int32_t i = 0; i < cellLookCount_; ++i) DrawCellLook(off, cellLooks_[i], lineWidth_);
    for (int32_t e : kDrawnElectrodes)
        if (electrodePlaced_[e]) PaintElectrode(off, e, electrodeX_[e], electrodeY_[e]);
    off.end();

    int32_t copyHeight = std::max(entryBottom, pictureBottom_);
    if (fullCopyCounter_ > 0) {
        --fullCopyCounter_;
        copyHeight = entryBottom;
    }
    CopyToClient(client, QRect(pictureLeft_, 0, width_ / 32 * 16 - pictureLeft_, copyHeight));
    drawingBusy_ = false;
}

void HeartPicture2D::RedrawHeart(QPainter& client, int32_t style, const int32_t icBaselines[4]) {
    pictureLeft_ = 32;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        ApplyLeadMarks(heart_);
    }
    DrawHeart(client, style);
    DrawIcKeys(client, icBaselines);
    DrawPacemakerPanel(client);
}

void HeartPicture2D::DrawPacemakerPanel(QPainter& client) {
    int32_t mode = kPmNone;
    int32_t leads[3];
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        mode = heart_.pmMode;
        leads[0] = ElectrodeCell(heart_, kElectrodeAtrial);
        leads[1] = ElectrodeCell(heart_, kElectrodeVentricular);
        leads[2] = ElectrodeCell(heart_, kElectrodeVentricular2);
    }
    if (mode != kPmNone) {
        panel_.Draw(client, mode, leads);
        panelShown_ = true;
    } else if (panelShown_) {
        panel_.Clear(client);
        panelShown_ = false;
    }
}

void HeartPicture2D::DrawCell2D(QPainter& client, int32_t style, int32_t cell, int32_t tone) {
    CellLook look;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        look = LookOfCell(heart_, cell, style, tone);
    }
    client.save();
    client.setTransform(toView_, true);
    DrawCellLook(client, look, lineWidth_);
    client.restore();
}

void HeartPicture2D::DrawLink2D(QPainter& client, int32_t link) {
    LinkLook look;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        if (link < 0 || link >= heart_.linkCount) return;
        look = TakeLinkLook(link);
    }
    client.save();
    client.setTransform(toView_, true);
    PaintLink(client, look);
    client.restore();
}

void HeartPicture2D::DrawElectrode2D(QPainter& client, int32_t electrode) {
    int32_t x = 0, y = 0;
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        const int32_t cell = ElectrodeCell(heart_, electrode);
        if (cell < 0) return;
        x = heart_.cells[cell].posX;
        y = heart_.cells[cell].posY;
    }
    client.save();
    client.setTransform(toView_, true);
    PaintElectrode(client, electrode, x, y);
    client.restore();
}

void HeartPicture2D::DrawIcKeys(QPainter& client, const int32_t icBaselines[4]) const {
    client.setPen(QPen(Qt::black, 1));
    for (int k = 1; k <= 4; ++k) {
        const int x = width_ / 2 - 1, y = icBaselines[k - 1] + 3;
        const QPoint arrow[7] = {{x, y},          {x - 6, y + 7},  {x - 6, y + 4}, {x - 12, y + 4},
                                 {x - 12, y - 4}, {x - 6, y - 4}, {x - 6, y - 7}};
        client.setBrush(ElectrodeColour(k - 1));
        client.drawPolygon(arrow, 7);
    }
}

int32_t HeartPicture2D::HitCell(int32_t viewX, int32_t viewY) const {
    const QPoint m = ToModel(viewX, viewY);
    const int32_t x = m.x(), y = m.y();
    // Positions and types change only with a model load, on this thread: no lock needed.
    for (int32_t i = 0; i < heart_.cellCount && i < kMaxCells; ++i) {
        const CCell& c = heart_.cells[i];
        const int32_t w = c.cellType == 0 ? 40 : 24;
        const int32_t h = c.cellType == 0 ? 30 : 12;
        if (x >= c.posX && x <= c.posX + w && y >= c.posY && y <= c.posY + h) return i;
    }
    return -1;
}

int32_t HeartPicture2D::HitLink(int32_t viewX, int32_t viewY) const {
    const QPoint m = ToModel(viewX, viewY);
    const int32_t x = m.x(), y = m.y();
    // The squares are written by this picture only, on this thread.
    for (int32_t i = 0; i < heart_.linkCount && i < kMaxLinks; ++i) {
        const CellLink& l = heart_.links[i];
        if (x >= l.hitLeft && x < l.hitRight && y >= l.hitTop && y < l.hitBottom) return i;
    }
    return -1;
}

bool HeartPicture2D::QueueCellRepaint(int32_t cell) { return pendingCells_.Add(cell); }

void HeartPicture2D::DropCellRepaints() { pendingCells_.Clear(); }

QRect HeartPicture2D::FlushCellRepaints(QPainter& client) {
    const int32_t count = pendingCells_.Count();
    {
        std::lock_guard<std::mutex> guard(heart_.lock);
        const int32_t style = heart_.pictureMode, tone = heart_.tone;
        for (int32_t i = 0; i < count; ++i) cellLooks_[i] = LookOfCell(heart_, pendingCells_.Cell(i), style, tone);
    }
    QRect touched;
    client.save();
    client.setTransform(toView_, true);
    for (int32_t i = 0; i < count; ++i) {
        DrawCellLook(client, cellLooks_[i], lineWidth_);
        touched |= CellLookBounds(cellLooks_[i]);
    }
    client.restore();
    pendingCells_.Clear();
    return toView_.mapRect(touched).adjusted(-1, -1, 1, 1);
}

}  // namespace vantrel
