#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pt {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        p.setBrush(QColor(0x1f, 0x6f, 0xb5));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(0.5, 0.5, s - 1, s - 1));
        QPainterPath trail;
        trail.moveTo(s * 0.18, s * 0.72);
        trail.cubicTo(s * 0.35, s * 0.30, s * 0.55, s * 0.85, s * 0.80, s * 0.28);
        p.setPen(QPen(Qt::white, qMax<qreal>(1.5, s / 10), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(trail);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xc4, 0x3d));
        p.drawEllipse(QPointF(s * 0.80, s * 0.28), s * 0.11, s * 0.11);
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace pt
