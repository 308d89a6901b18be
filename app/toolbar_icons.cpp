#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

#include "app/command_table.h"

namespace vantrel {

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

const QColor kTraceGreen(0, 160, 0);
const QColor kHeartRed(200, 30, 40);
const QColor kInk(40, 40, 40);

void EcgWave(QPainter& p, const QColor& colour, int baseline) {
    p.setPen(QPen(colour, 1));
    const QPoint wave[] = {{0, baseline}, {4, baseline}, {5, baseline - 1}, {6, baseline}, {7, baseline + 1},
                           {8, baseline - 6}, {9, baseline + 2}, {10, baseline}, {12, baseline - 1},
                           {13, baseline}, {15, baseline}};
    p.drawPolyline(wave, std::size(wave));
}

void Heart(QPainter& p, const QColor& fill) {
    QPainterPath path;
    path.moveTo(8, 13);
    path.cubicTo(1, 8, 0, 4, 3, 2);
    path.cubicTo(5, 1, 7, 2, 8, 4);
    path.cubicTo(9, 2, 11, 1, 13, 2);
    path.cubicTo(16, 4, 15, 8, 8, 13);
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void Arrow(QPainter& p, bool left) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 180));
    QPolygon arrow;
    if (left)
        arrow << QPoint(1, 7) << QPoint(7, 1) << QPoint(7, 4) << QPoint(14, 4) << QPoint(14, 10) << QPoint(7, 10)
              << QPoint(7, 13);
    else
        arrow << QPoint(14, 7) << QPoint(8, 1) << QPoint(8, 4) << QPoint(1, 4) << QPoint(1, 10) << QPoint(8, 10)
              << QPoint(8, 13);
    p.drawPolygon(arrow);
}

void Page(QPainter& p, int left, int top, int right, int bottom) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(left, top, right - left, bottom - top);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y = top + 2; y < bottom - 1; y += 2) p.drawLine(left + 2, y, right - 2, y);
}

void Draw(QPainter& p, int id) {
    switch (id) {
    case kCmdEcgScreen:
        p.fillRect(0, 1, 16, 13, QColor(0, 0, 64));
        EcgWave(p, QColor(64, 255, 64), 9);
        break;
    case kCmdHeart2d:
        Heart(p, kHeartRed);
        break;
    case kCmdHeart3d: {
        Heart(p, kHeartRed);
        p.setPen(QPen(QColor(255, 190, 190), 1));
        p.drawLine(4, 4, 6, 3);
        p.drawLine(4, 5, 5, 5);
        break;
    }
    case kCmdFrozenScreen:
        p.fillRect(0, 1, 16, 13, QColor(192, 192, 192));
        EcgWave(p, QColor(0, 0, 200), 9);
        p.setPen(QPen(QColor(0, 0, 200), 1, Qt::DotLine));
        p.drawLine(11, 1, 11, 13);
        break;
    case kCmdLoadHeart:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(230, 190, 80));
        p.drawRect(1, 4, 13, 9);
        p.drawRect(1, 2, 5, 2);
        Heart(p, kHeartRed);
        break;
    case kCmdPrint:
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(1, 6, 14, 5);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 4);
        break;
    case kCmdInitialValues: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 120, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 120, 0));
        const QPoint head[] = {{9, 0}, {13, 3}, {9, 6}};
        p.drawPolygon(head, 3);
        break;
    }
    case kCmdCardioversion: {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(255, 220, 0));
        const QPoint bolt[] = {{9, 0}, {3, 8}, {7, 8}, {5, 14}, {12, 5}, {8, 5}, {11, 0}};
        p.drawPolygon(bolt, std::size(bolt));
        break;
    }
    case kCmdPacemaker: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(190, 190, 190));
        p.drawRoundedRect(QRectF(1.5, 5.5, 9, 8), 3, 3);
        p.setPen(QPen(QColor(255, 80, 80), 1));
        p.setBrush(Qt::NoBrush);
        QPainterPath lead;
        lead.moveTo(6, 5);
        lead.cubicTo(6, 1, 12, 1, 14, 5);
        lead.lineTo(14, 12);
        p.drawPath(lead);
        break;
    }
    case kCmdStimulator:
        p.setPen(QPen(kInk, 1));
        p.drawLine(0, 11, 15, 11);
        p.setPen(QPen(QColor(200, 0, 120), 1));
        for (int x : {2, 7, 12}) p.drawLine(x, 11, x, 2);
        break;
    case kCmdStep: {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        const QPoint play[] = {{3, 2}, {10, 7}, {3, 12}};
        p.drawPolygon(play, 3);
        p.drawRect(11, 2, 2, 11);
        break;
    }
    case kCmdSpeed: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 130, 0));
        const QPoint first[] = {{1, 2}, {7, 7}, {1, 12}};
        const QPoint second[] = {{8, 2}, {14, 7}, {8, 12}};
        p.drawPolygon(first, 3);
        p.setBrush(QColor(0, 90, 0));
        p.drawPolygon(second, 3);
        break;
    }
    case kCmdCommentsFull:
        Page(p, 1, 1, 14, 13);
        p.setPen(QPen(QColor(30, 90, 180), 1));
        p.drawLine(9, 2, 13, 2);
        p.drawLine(13, 2, 13, 6);
        break;
    case kCmdCommentsNormal:
        Page(p, 1, 1, 9, 13);
        p.fillRect(10, 1, 5, 13, QColor(0, 0, 64));
        break;
    case kCmdGoBack:
        Arrow(p, true);
        break;
    case kCmdGoForward:
        Arrow(p, false);
        break;
    case kCmdAboutHeart: {
        Heart(p, QColor(240, 150, 150));
        QFont font = p.font();
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(QRect(0, 1, 16, 11), Qt::AlignCenter, "i");
        break;
    }
    case kCmdRecord:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(QRectF(2.5, 2, 10, 10));
        break;
    default:
        p.setPen(QPen(QColor(150, 150, 150), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(3, 3, 9, 8);
        break;
    }
}

}  // namespace

QIcon ToolbarIcon(int commandId) {
    QPixmap pixmap(kWidth, kHeight);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    Draw(p, commandId);
    p.end();
    return QIcon(pixmap);
}

}  // namespace vantrel
