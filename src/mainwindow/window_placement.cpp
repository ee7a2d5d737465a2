#include "mainwindow/window_placement.h"

#include <QSize>
#include <QVariant>
#include <QWidget>

#include "mainwindow/outer_geometry.h"
#include "mainwindow/twips.h"
#include "mainwindow/window_settings.h"

namespace WindowPlacement {
namespace {

constexpr const char* kFrameAtRestore = "mossleafFrameAtRestore";

QSize frameExtra(const QWidget& window) {
    return window.frameGeometry().size() - window.size();
}

}  // namespace

void restore(QWidget& window, SettingsStore& store, double tppX, double tppY) {
    using namespace WindowSettings;
    OuterGeometry::setLeft(window, read(store, kLeft), tppX);
    OuterGeometry::setTop(window, read(store, kTop), tppY);
    OuterGeometry::setWidth(window, read(store, kWidth), tppX);
    OuterGeometry::setHeight(window, read(store, kHeight), tppY);
    window.setProperty(kFrameAtRestore, frameExtra(window));
}

void save(const QWidget& window, SettingsStore& store, double tppX, double tppY) {
    using namespace WindowSettings;
    const QVariant recorded = window.property(kFrameAtRestore);
    const QSize frame = recorded.isValid() ? recorded.toSize() : frameExtra(window);
    write(store, kLeft, OuterGeometry::left(window, tppX));
    write(store, kTop, OuterGeometry::top(window, tppY));
    write(store, kWidth, Twips::fromPixels(window.width() + frame.width(), tppX));
    write(store, kHeight, Twips::fromPixels(window.height() + frame.height(), tppY));
}

}  // namespace WindowPlacement
