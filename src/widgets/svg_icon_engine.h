#pragma once

#include <QIconEngine>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <functional>
#include <map>
#include <utility>

namespace mossleaf {

// A QIcon whose every size is drawn from one SVG picture: a toolbar or a window on a screen
// with a device pixel ratio of 2 asks for 32 px where 16 were meant, and gets a drawing of
// 32 px instead of a blurred enlargement.
class SvgIconEngine : public QIconEngine {
public:
    // `finish` runs on every fresh drawing (the image list clears its mask colour there).
    using Finish = std::function<void(QImage&)>;

    explicit SvgIconEngine(QString path, Finish finish = {});

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    QString path_;
    Finish finish_;
    bool valid_;
    std::map<std::pair<int, int>, QPixmap> drawn_;  // by width and height in device pixels
};

}  // namespace mossleaf
