#include "widgets/image_list.h"

#include "widgets/svg_icon_engine.h"
#include "widgets/svg_picture.h"

namespace mossleaf {

void ImageList::add(const QString& key, const QString& svgPath) {
    sources_.insert(key, svgPath);
}

QImage ImageList::picture(const QString& key, int pixels) const {
    if (!sources_.contains(key)) {
        return {};
    }
    QImage image = renderSvg(sources_.value(key), QSize(pixels, pixels));
    clearMask(image);
    return image;
}

QIcon ImageList::icon(const QString& key) const {
    if (!sources_.contains(key)) {
        return {};
    }
    return QIcon(new SvgIconEngine(sources_.value(key), &ImageList::clearMask));
}

void ImageList::clearMask(QImage& picture) {
    if (picture.isNull()) {
        return;
    }
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = kMaskColour.rgb() & 0x00ffffff;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(line[x]) == 255 && (line[x] & 0x00ffffff) == mask) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
}

ImageList toolbarIcons() {
    ImageList list;
    for (const char* key : {"New", "Open", "Save", "Copy", "Update", "Exe"}) {
        const QString name = QString::fromLatin1(key);
        list.add(name, QStringLiteral(":/icons/toolbar/%1.svg").arg(name));
    }
    return list;
}

}  // namespace mossleaf
