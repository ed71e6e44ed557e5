#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace app {

namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    // The page, with a folded corner.
    QPainterPath page;
    page.moveTo(6, 2);
    page.lineTo(21, 2);
    page.lineTo(27, 8);
    page.lineTo(27, 30);
    page.lineTo(6, 30);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x2b, 0x4c, 0x7e), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(0xd6, 0xe2, 0xf3));
    p.drawPolygon(QPolygonF({QPointF(21, 2), QPointF(21, 8), QPointF(27, 8)}));
    // Text lines; the highlighted one is the inserted line.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9a, 0xa8, 0xbd));
    for (int y : {12, 20, 24})
        p.drawRect(QRectF(9, y, 15, 2));
    p.setBrush(QColor(0xe0, 0x6c, 0x1f));
    p.drawRect(QRectF(9, 15.5, 15, 2.5));
    // The insertion arrow.
    p.drawPolygon(QPolygonF({QPointF(1, 13.5), QPointF(6, 16.75), QPointF(1, 20)}));
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(DrawIcon(size));
    return icon;
}

}  // namespace app
