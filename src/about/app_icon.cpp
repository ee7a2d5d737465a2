#include "about/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The drawing is designed on a 32 × 32 grid and scaled for the other sizes.
constexpr qreal kGrid = 32.0;

void drawNotebook(QPainter& p) {
    // Cover, a little darker at the spine.
    QLinearGradient cover(5, 0, 27, 0);
    cover.setColorAt(0.0, QColor(0x2f, 0x55, 0x36));
    cover.setColorAt(1.0, QColor(0x4a, 0x7d, 0x52));
    p.setPen(QPen(QColor(0x1f, 0x3b, 0x25), 1.0));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(5.5, 2.5, 21, 27), 2.5, 2.5);

    // Pages with a few ruled lines.
    p.setPen(QPen(QColor(0xb8, 0xae, 0x8c), 0.8));
    p.setBrush(QColor(0xfb, 0xf6, 0xe3));
    p.drawRect(QRectF(9.5, 4.5, 15, 23));
    p.setPen(QPen(QColor(0x9c, 0xc3, 0xd8), 0.8));
    for (qreal y = 9.5; y < 27; y += 3.5) {
        p.drawLine(QPointF(11, y), QPointF(23.5, y));
    }

    // Rings along the spine.
    p.setPen(QPen(QColor(0x8a, 0x8f, 0x94), 1.4));
    p.setBrush(Qt::NoBrush);
    for (qreal y = 6.5; y < 28; y += 5) {
        p.drawArc(QRectF(3.5, y - 1.5, 7, 3), 30 * 16, 300 * 16);
    }
}

void drawLeaf(QPainter& p) {
    // A leaf from its stalk at the lower left to its tip at the upper right.
    const QPointF stalk(13.5, 29.5);
    const QPointF base(16.5, 26.0);
    const QPointF tip(30.5, 10.5);
    QPainterPath leaf(base);
    leaf.cubicTo(QPointF(15.0, 17.0), QPointF(22.0, 11.0), tip);
    leaf.cubicTo(QPointF(30.0, 19.0), QPointF(25.0, 26.5), base);

    QLinearGradient fill(base, tip);
    fill.setColorAt(0.0, QColor(0x3f, 0x8f, 0x3a));
    fill.setColorAt(1.0, QColor(0x9c, 0xd0, 0x5e));
    p.setPen(QPen(QColor(0x24, 0x5c, 0x26), 1.0));
    p.setBrush(fill);
    p.drawPath(leaf);

    // Midrib, stalk and two side veins.
    p.setPen(QPen(QColor(0x24, 0x5c, 0x26), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(stalk, base);
    QPainterPath midrib(base);
    midrib.quadTo(QPointF(23.0, 20.0), QPointF(29.0, 12.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(midrib);
    p.setPen(QPen(QColor(0x2e, 0x6d, 0x2e), 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20.5, 22.0), QPointF(19.5, 17.5));
    p.drawLine(QPointF(24.0, 18.5), QPointF(27.0, 19.5));
}

}  // namespace

QPixmap mossleafPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);
    drawNotebook(p);
    drawLeaf(p);
    return pixmap;
}

QIcon mossleafIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(mossleafPixmap(size));
    }
    return icon;
}
