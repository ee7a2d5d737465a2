#include "mainwindow/window_placement.h"

#include <QPointF>
#include <QSize>
#include <QVariant>
#include <QWidget>
#include <cmath>

#include "mainwindow/outer_geometry.h"
#include "mainwindow/twips.h"
#include "mainwindow/window_settings.h"

namespace WindowPlacement {
using namespace WindowSettings;
namespace {

constexpr const char* kFrameAtRestore = "mossleafFrameAtRestore";

QSize frameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.size();
}

QByteArray restoredProperty(const Key& key) {
    return "mossleafRestored" + key.name.toLatin1();
}

// The four values as save() computes them from the window now.
struct Bounds {
    double left, top, width, height;
};

Bounds current(const QWidget& window, QSize frame, double tppX, double tppY) {
    return {OuterGeometry::left(window, tppX), OuterGeometry::top(window, tppY),
            Twips::fromPixels(window.width() + frame.width(), tppX),
            Twips::fromPixels(window.height() + frame.height(), tppY)};
}

// Pixels are coarser than twips (15 to one at 96 DPI): a window left where it was restored
// writes back the very values it was restored from, not their pixel-rounded neighbours. A
// value the window could not take (a width below the least) is not remembered.
void remember(QWidget& window, const Key& key, double stored, double shown, double twipsPerPixel) {
    if (std::abs(stored - shown) < twipsPerPixel) {
        window.setProperty(restoredProperty(key), QPointF(stored, shown));
    }
}

void writeBack(const QWidget& window, SettingsStore& store, const Key& key, double now) {
    const QVariant restored = window.property(restoredProperty(key));
    if (restored.isValid() && restored.toPointF().y() == now) {
        now = restored.toPointF().x();
    }
    write(store, key, now);
}

}  // namespace

void restore(QWidget& window, SettingsStore& store, double tppX, double tppY) {
    const double left = read(store, kLeft);
    OuterGeometry::setLeft(window, left, tppX);
    const double top = read(store, kTop);
    OuterGeometry::setTop(window, top, tppY);
    const double width = read(store, kWidth);
    OuterGeometry::setWidth(window, width, tppX);
    const double height = read(store, kHeight);
    OuterGeometry::setHeight(window, height, tppY);
    const QSize frame = frameExtra(window);
    window.setProperty(kFrameAtRestore, frame);
    const Bounds shown = current(window, frame, tppX, tppY);
    remember(window, kLeft, left, shown.left, tppX);
    remember(window, kTop, top, shown.top, tppY);
    remember(window, kWidth, width, shown.width, tppX);
    remember(window, kHeight, height, shown.height, tppY);
}

void save(const QWidget& window, SettingsStore& store, double tppX, double tppY) {
    const QVariant recorded = window.property(kFrameAtRestore);
    const QSize frame = recorded.isValid() ? recorded.toSize() : frameExtra(window);
    const Bounds now = current(window, frame, tppX, tppY);
    writeBack(window, store, kLeft, now.left);
    writeBack(window, store, kTop, now.top);
    writeBack(window, store, kWidth, now.width);
    writeBack(window, store, kHeight, now.height);
}

}  // namespace WindowPlacement
