#include "mainwindow/outer_geometry.h"

#include <QWidget>

#include "mainwindow/twips.h"

namespace OuterGeometry {

double left(const QWidget& window, double tpp) {
    return Twips::fromPixels(window.frameGeometry().x(), tpp);
}

double top(const QWidget& window, double tpp) {
    return Twips::fromPixels(window.frameGeometry().y(), tpp);
}

double width(const QWidget& window, double tpp) {
    return Twips::fromPixels(window.frameGeometry().width(), tpp);
}

double height(const QWidget& window, double tpp) {
    return Twips::fromPixels(window.frameGeometry().height(), tpp);
}

int frameExtraWidth(const QWidget& window) {
    return window.frameGeometry().width() - window.width();
}

// move() places a top-level window by its frame; resize() sizes what lies inside the frame.
void setLeft(QWidget& window, double twips, double tpp) {
    window.move(Twips::toPixels(twips, tpp), window.frameGeometry().y());
}

void setTop(QWidget& window, double twips, double tpp) {
    window.move(window.frameGeometry().x(), Twips::toPixels(twips, tpp));
}

void setWidth(QWidget& window, double twips, double tpp) {
    const int inner = Twips::toPixels(twips, tpp) - frameExtraWidth(window);
    window.resize(inner < 1 ? 1 : inner, window.height());
}

void setHeight(QWidget& window, double twips, double tpp) {
    const int extra = window.frameGeometry().height() - window.height();
    const int inner = Twips::toPixels(twips, tpp) - extra;
    window.resize(window.width(), inner < 1 ? 1 : inner);
}

}  // namespace OuterGeometry
