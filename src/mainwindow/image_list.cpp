#include "mainwindow/image_list.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

void ImageList::add(const QString& key, const QImage& picture) {
    QImage masked = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = kMaskColour.rgb();
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] & 0x00ffffff) == (mask & 0x00ffffff)) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    pictures_.insert(key, masked);
}

QIcon ImageList::icon(const QString& key) const {
    return pictures_.contains(key) ? QIcon(QPixmap::fromImage(pictures_.value(key))) : QIcon();
}

namespace {

constexpr int kSize = 16;
const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);

// Hard pixels only: a smoothed edge would blend with the mask colour and leave a grey fringe.
QImage canvas() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(ImageList::kMaskColour);
    return image;
}

void page(QPainter& p, int left, int top, int right, int bottom) {
    const int fold = 3;
    QPolygon outline;
    outline << QPoint(left, top) << QPoint(right - fold, top) << QPoint(right, top + fold)
            << QPoint(right, bottom) << QPoint(left, bottom);
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(outline);
    p.drawLine(right - fold, top, right - fold, top + fold);
    p.drawLine(right - fold, top + fold, right, top + fold);
}

QImage drawNew() {
    QImage image = canvas();
    QPainter p(&image);
    page(p, 3, 1, 12, 14);
    return image;
}

QImage drawOpen() {
    QImage image = canvas();
    QPainter p(&image);
    p.setPen(kInk);
    p.setBrush(QColor(255, 255, 0));
    QPolygon back;
    back << QPoint(1, 3) << QPoint(5, 3) << QPoint(6, 4) << QPoint(12, 4) << QPoint(12, 7)
         << QPoint(1, 7);
    p.drawPolygon(back);
    p.setBrush(QColor(128, 128, 0));
    QPolygon front;
    front << QPoint(1, 13) << QPoint(4, 7) << QPoint(15, 7) << QPoint(12, 13);
    p.drawPolygon(front);
    p.drawLine(1, 7, 1, 13);
    // the arrow that lifts the lid
    p.setPen(QColor(0, 0, 128));
    p.drawLine(10, 1, 13, 1);
    p.drawLine(13, 1, 13, 4);
    p.drawPoint(14, 3);
    p.drawPoint(12, 3);
    return image;
}

QImage drawSave() {
    QImage image = canvas();
    QPainter p(&image);
    p.setPen(kInk);
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kPaper);
    p.drawRect(4, 2, 7, 5);  // label
    p.setPen(QColor(128, 128, 128));
    p.drawLine(5, 4, 10, 4);
    p.setPen(kInk);
    p.setBrush(QColor(192, 192, 200));
    p.drawRect(4, 10, 7, 4);  // shutter
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(8, 11, 1, 2);
    return image;
}

QImage drawCopy() {
    QImage image = canvas();
    QPainter p(&image);
    page(p, 1, 1, 9, 11);
    page(p, 6, 4, 14, 14);
    p.setPen(QColor(0, 0, 128));
    for (int y = 7; y <= 12; y += 2) {
        p.drawLine(8, y, 12, y);
    }
    return image;
}

QImage drawUpdate() {
    QImage image = canvas();
    QPainter p(&image);
    page(p, 2, 1, 13, 14);
    // two arrows turning into each other: the shown text goes in, the stored text comes out
    p.setPen(QColor(0, 128, 0));
    p.drawLine(4, 5, 10, 5);
    p.drawLine(8, 3, 10, 5);
    p.drawLine(8, 7, 10, 5);
    p.setPen(QColor(192, 0, 0));
    p.drawLine(5, 10, 11, 10);
    p.drawLine(5, 10, 7, 8);
    p.drawLine(5, 10, 7, 12);
    return image;
}

QImage drawExe() {
    QImage image = canvas();
    QPainter p(&image);
    p.setPen(kInk);
    p.setBrush(QColor(0, 160, 0));
    QPolygon play;
    play << QPoint(4, 2) << QPoint(13, 8) << QPoint(4, 14);
    p.drawPolygon(play);
    return image;
}

}  // namespace

ImageList drawToolbarIcons() {
    ImageList list;
    list.add(QStringLiteral("New"), drawNew());
    list.add(QStringLiteral("Open"), drawOpen());
    list.add(QStringLiteral("Save"), drawSave());
    list.add(QStringLiteral("Copy"), drawCopy());
    list.add(QStringLiteral("Update"), drawUpdate());
    list.add(QStringLiteral("Exe"), drawExe());
    return list;
}
