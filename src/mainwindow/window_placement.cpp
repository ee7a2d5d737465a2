#include "mainwindow/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "core/twips.h"
#include "mainwindow/outer_geometry.h"
#include "mainwindow/window_settings.h"

namespace mossleaf {

using namespace WindowSettings;

namespace {

const Key* const kKeys[4] = {&kLeft, &kTop, &kWidth, &kHeight};

int side(const QRect& r, int i) {
    const int sides[4] = {r.x(), r.y(), r.width(), r.height()};
    return sides[i];
}

bool plausible(const QMargins& frame) {
    return !frame.isNull() && frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 &&
           frame.bottom() >= 0;
}

// A value no window can be given (a position or size beyond what the window system holds, a
// size of nothing or less) is taken as if it were absent. What is merely off the screens or
// larger than them is a real window: the screen correction and the window manager deal with it.
double readPossible(SettingsStore& store, int i, double tpp) {
    const double twips = read(store, *kKeys[i]);
    const bool possible = i < 2 ? OuterGeometry::possiblePosition(Twips::toPixels(twips, tpp))
                                : OuterGeometry::possibleSize(twips, tpp);
    return possible ? twips : kKeys[i]->defaultValue;
}

QList<QRect> availableScreens() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas << screen->availableGeometry();
    }
    return areas;
}

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window, FrameProbe frame)
    : window_(window), frame_(frame ? std::move(frame) : FrameProbe(OuterGeometry::frameMargins)) {
    window_.installEventFilter(this);
}

WindowPlacement::~WindowPlacement() {
    window_.removeEventFilter(this);
    if (watchedHandle_) {
        watchedHandle_->removeEventFilter(this);
    }
}

void WindowPlacement::restore(SettingsStore& store, double tppX, double tppY) {
    const double tpp[4] = {tppX, tppY, tppX, tppY};
    int pixels[4];
    for (int i = 0; i < 4; ++i) {
        stored_[i] = readPossible(store, i, tpp[i]);
        pixels[i] = Twips::toPixels(stored_[i], tpp[i]);
    }
    const QRect stored(pixels[0], pixels[1], std::max(pixels[2], 1), std::max(pixels[3], 1));
    wanted_ = OuterGeometry::ontoNearestScreen(stored, availableScreens());
    for (int i = 0; i < 4; ++i) {
        exact_[i] = side(wanted_, i) == pixels[i];
    }
    restored_ = true;
    const QMargins frame = frame_(window_);
    frameSeen_ = plausible(frame);
    place(frameSeen_ ? frame : QMargins());
    watchWindowHandle();
}

// The window system's own window is told when the window is on the screen; it exists once
// the window is about to be shown.
void WindowPlacement::watchWindowHandle() {
    QWindow* handle = window_.windowHandle();
    if (handle && handle != watchedHandle_) {
        handle->installEventFilter(this);
        watchedHandle_ = handle;
    }
}

void WindowPlacement::place(const QMargins& frame) {
    applyLeastWidth(frame);
    const QRect inner = wanted_.marginsRemoved(frame);
    window_.setGeometry(inner.x(), inner.y(), std::max(inner.width(), 1),
                        std::max(inner.height(), 1));
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (!restored_ || frameSeen_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Show:
            watchWindowHandle();
            break;
        case QEvent::Expose:
            // Until the window manager has mapped the window, a request to move it may be
            // overtaken by the place it picks when it takes the window over.
            if (watched == window_.windowHandle() && window_.windowHandle()->isExposed()) {
                exposed_ = true;
            }
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:
        case QEvent::WindowActivate:
            if (exposed_ && plausible(frame_(window_))) {
                // The window manager has framed the window: put the frame where the client
                // area went, once; later moves are the user's.
                frameSeen_ = true;
                place(frame_(window_));
            }
            break;
        default:
            break;
    }
    return false;
}

void WindowPlacement::setLeastOuterWidth(int pixels) {
    leastOuterWidth_ = pixels;
    const QMargins frame = frame_(window_);
    applyLeastWidth(plausible(frame) ? frame : QMargins());
}

void WindowPlacement::applyLeastWidth(const QMargins& frame) {
    const int inner = leastOuterWidth_ - frame.left() - frame.right();
    if (inner > 0 && window_.minimumWidth() != inner) {
        window_.setMinimumWidth(inner);
    }
}

QRect WindowPlacement::outerGeometry() const {
    const QMargins frame = frame_(window_);
    return plausible(frame) ? window_.geometry().marginsAdded(frame) : window_.geometry();
}

void WindowPlacement::save(SettingsStore& store, double tppX, double tppY) const {
    const double tpp[4] = {tppX, tppY, tppX, tppY};
    const QRect now = outerGeometry();
    for (int i = 0; i < 4; ++i) {
        const bool unchanged = restored_ && exact_[i] && side(now, i) == side(wanted_, i);
        write(store, *kKeys[i], unchanged ? stored_[i] : Twips::fromPixels(side(now, i), tpp[i]));
    }
}

}  // namespace mossleaf
