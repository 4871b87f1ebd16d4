// Simple drawings of the tool-bar icons on a 16-unit grid, rendered at two sizes.
#include "app/CommandIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace lumivar {
namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kOutline(0x40, 0x40, 0x40);

void Sheet(QPainter& p, QRectF r) {
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(0x80, 0x80, 0xA0), 0.7));
    for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 2) p.drawLine(QPointF(r.left() + 1.5, y), QPointF(r.right() - 1.5, y));
}

void Floppy(QPainter& p) {
    p.setPen(QPen(QColor(0x10, 0x20, 0x60), 0.8));
    p.setBrush(QColor(0x30, 0x60, 0xC0));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 2, 8, 5));
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void Magnifier(QPainter& p, qreal dx = 0) {
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(QColor(0xD0, 0xE8, 0xFF));
    p.drawEllipse(QRectF(1.5 + dx, 1.5, 8, 8));
    p.setPen(QPen(QColor(0x80, 0x50, 0x20), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5 + dx, 8.5), QPointF(12.5 + dx, 12.5));
}

void Arrow(QPainter& p, QPointF from, QPointF to, QColor colour) {
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - 3 * d + 2.5 * n);
    p.drawLine(to, to - 3 * d - 2.5 * n);
}

const std::map<QString, Drawing>& Drawings() {
    static const std::map<QString, Drawing> drawings = {
        {"actLoadScriptOnFile", [](QPainter& p) {
             p.setPen(QPen(QColor(0x80, 0x60, 0x00), 0.8));
             p.setBrush(QColor(0xE8, 0xC0, 0x40));
             p.drawPolygon(QPolygonF({{1, 4}, {6, 4}, {7, 5.5}, {14, 5.5}, {14, 13.5}, {1, 13.5}}));
             p.setBrush(QColor(0xF8, 0xDC, 0x70));
             p.drawPolygon(QPolygonF({{3, 8}, {15.5, 8}, {13.5, 13.5}, {1, 13.5}}));
         }},
        {"actSaveScriptToFile", [](QPainter& p) { Floppy(p); }},
        {"actPrint", [](QPainter& p) {
             Sheet(p, QRectF(4, 1, 8, 6));
             p.setPen(QPen(kOutline, 0.8));
             p.setBrush(QColor(0xB0, 0xB0, 0xB0));
             p.drawRoundedRect(QRectF(1, 6.5, 14, 6), 1, 1);
             Sheet(p, QRectF(4, 10, 8, 5));
             p.setBrush(QColor(0x20, 0xC0, 0x20));
             p.drawEllipse(QRectF(12, 7.5, 1.6, 1.6));
         }},
        {"actCut", [](QPainter& p) {
             p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.2));
             p.drawLine(QPointF(4, 1), QPointF(10.5, 10));
             p.drawLine(QPointF(12, 1), QPointF(5.5, 10));
             p.setPen(QPen(QColor(0xC0, 0x10, 0x10), 1.3));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QRectF(1.5, 9.5, 5, 5));
             p.drawEllipse(QRectF(9.5, 9.5, 5, 5));
         }},
        {"actCopy", [](QPainter& p) {
             Sheet(p, QRectF(1.5, 1.5, 8, 10));
             Sheet(p, QRectF(6.5, 4.5, 8, 10));
         }},
        {"actPaste", [](QPainter& p) {
             p.setPen(QPen(QColor(0x60, 0x40, 0x10), 0.8));
             p.setBrush(QColor(0xB0, 0x80, 0x40));
             p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
             p.setBrush(QColor(0xC0, 0xC0, 0xC0));
             p.drawRect(QRectF(4, 1, 5, 3));
             Sheet(p, QRectF(7, 6, 7.5, 9));
         }},
        {"actUndo", [](QPainter& p) {
             QPainterPath path(QPointF(13, 13));
             path.cubicTo(QPointF(14, 6), QPointF(9, 3.5), QPointF(4, 6));
             p.setPen(QPen(QColor(0x20, 0x50, 0xB0), 1.8, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(Qt::NoBrush);
             p.drawPath(path);
             p.setBrush(QColor(0x20, 0x50, 0xB0));
             p.setPen(Qt::NoPen);
             p.drawPolygon(QPolygonF({{1.5, 7.5}, {6.5, 2.5}, {7, 9.5}}));
         }},
        {"actFind", [](QPainter& p) { Magnifier(p, 1); }},
        {"actFindNext", [](QPainter& p) {
             Magnifier(p);
             Arrow(p, QPointF(9, 14), QPointF(15, 14), QColor(0x10, 0x80, 0x10));
         }},
        {"actFindReplace", [](QPainter& p) {
             Magnifier(p);
             Arrow(p, QPointF(10, 4), QPointF(15, 4), QColor(0xC0, 0x40, 0x10));
         }},
        {"actCompileScript", [](QPainter& p) {
             p.setPen(QPen(QColor(0x10, 0x90, 0x10), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.drawPolyline(QPolygonF({{2, 8.5}, {6, 12.5}, {14, 3.5}}));
         }},
        {"actSaveTextAndClose", [](QPainter& p) {
             Floppy(p);
             p.setPen(QPen(QColor(0xD0, 0x10, 0x10), 2, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(10, 10), QPointF(15, 15));
             p.drawLine(QPointF(15, 10), QPointF(10, 15));
         }},
        {"actSaveToDb", [](QPainter& p) {
             p.setPen(QPen(QColor(0x30, 0x30, 0x60), 0.8));
             p.setBrush(QColor(0x90, 0xA0, 0xD0));
             p.drawRect(QRectF(2.5, 3.5, 11, 9));
             p.drawEllipse(QRectF(2.5, 10.5, 11, 4));
             p.setPen(Qt::NoPen);
             p.drawRect(QRectF(3, 4, 10, 8.5));
             p.setPen(QPen(QColor(0x30, 0x30, 0x60), 0.8));
             p.setBrush(QColor(0xC0, 0xD0, 0xF0));
             p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
         }},
        {"actExit", [](QPainter& p) {
             p.setPen(QPen(kOutline, 0.8));
             p.setBrush(QColor(0xA0, 0x70, 0x40));
             p.drawRect(QRectF(2.5, 1.5, 7, 13));
             p.setBrush(QColor(0xF0, 0xD0, 0x40));
             p.drawEllipse(QRectF(7, 7.5, 1.5, 1.5));
             Arrow(p, QPointF(9, 8), QPointF(15, 8), QColor(0xD0, 0x10, 0x10));
         }},
    };
    return drawings;
}

QPixmap Render(const Drawing& draw, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return pixmap;
}

} // namespace

QIcon CommandIcon(const QString& commandName) {
    const auto found = Drawings().find(commandName);
    if (found == Drawings().end()) return {};
    QIcon icon;
    for (int size : {16, 24, 32}) icon.addPixmap(Render(found->second, size));
    return icon;
}

} // namespace lumivar
