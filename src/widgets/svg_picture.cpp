#include "widgets/svg_picture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace mossleaf {

QImage renderSvg(const QString& path, const QSize& pixels) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || pixels.isEmpty()) {
        return {};
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace mossleaf
