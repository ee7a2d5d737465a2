#include "widgets/svg_icon_engine.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QSvgRenderer>

#include "widgets/svg_picture.h"

namespace mossleaf {

SvgIconEngine::SvgIconEngine(QString path, Finish finish)
    : path_(std::move(path)), finish_(std::move(finish)), valid_(QSvgRenderer(path_).isValid()) {}

QPixmap SvgIconEngine::pixmap(const QSize& size, QIcon::Mode, QIcon::State) {
    const std::pair<int, int> key{size.width(), size.height()};
    if (const auto found = drawn_.find(key); found != drawn_.end()) {
        return found->second;
    }
    QImage image = renderSvg(path_, size);
    if (!image.isNull() && finish_) {
        finish_(image);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    drawn_.emplace(key, pixmap);
    return pixmap;
}

void SvgIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                          QIcon::State state) {
    const qreal ratio =
        painter->device() ? painter->device()->devicePixelRatioF() : qGuiApp->devicePixelRatio();
    QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
    drawn.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect, drawn);
}

QList<QSize> SvgIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    // What a window manager is offered for the window's icon; any other size is drawn on demand.
    return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
}

QIconEngine* SvgIconEngine::clone() const {
    return new SvgIconEngine(*this);
}

QString SvgIconEngine::key() const {
    return QStringLiteral("MossleafSvg");
}

bool SvgIconEngine::isNull() {
    return !valid_;
}

}  // namespace mossleaf
