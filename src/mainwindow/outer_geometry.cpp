#include "mainwindow/outer_geometry.h"

#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <climits>

#include "core/twips.h"

namespace mossleaf::OuterGeometry {
namespace {

// Enough of the title bar to grab it with the pointer.
constexpr int kGrip = 24;

bool titleBarReachable(const QRect& outer, const QRect& screen) {
    const int overlap =
        std::min(outer.right(), screen.right()) - std::max(outer.left(), screen.left()) + 1;
    return outer.top() >= screen.top() && outer.top() + kGrip <= screen.bottom() + 1 &&
           overlap >= std::min(kGrip, outer.width());
}

// Pixels between the two rectangles, zero when they meet.
long long distance(const QRect& a, const QRect& b) {
    const long long dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const long long dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

int fitInto(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength) {
        return areaStart;
    }
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

}  // namespace

// Straight from the window system: QWidget::frameGeometry() keeps a frame it was told once,
// and while a window manager takes the window over that may be nonsense (negative widths).
QMargins frameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    const QMargins frame = handle ? handle->frameMargins() : QMargins();
    const bool sane =
        frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 && frame.bottom() >= 0;
    return sane ? frame : QMargins();
}

double width(const QWidget& window, double tpp) {
    return Twips::fromPixels(window.width() + frameExtraWidth(window), tpp);
}

int frameExtraWidth(const QWidget& window) {
    const QMargins frame = frameMargins(window);
    return frame.left() + frame.right();
}

// resize() sizes what lies inside the frame.
void setWidth(QWidget& window, double twips, double tpp) {
    const int inner = Twips::toPixels(twips, tpp) - frameExtraWidth(window);
    window.resize(inner < 1 ? 1 : inner, window.height());
}

bool possiblePosition(int pixels) {
    return pixels >= -kWindowSystemLimit && pixels <= kWindowSystemLimit;
}

// A size of nothing or less is not a window; one below a pixel is, and the layout widens it.
bool possibleSize(double twips, double tpp) {
    return twips > 0 && Twips::toPixels(twips, tpp) <= kWindowSystemLimit;
}

QRect ontoNearestScreen(const QRect& outer, const QList<QRect>& screens) {
    const QRect* nearest = nullptr;
    long long best = LLONG_MAX;
    for (const QRect& screen : screens) {
        if (titleBarReachable(outer, screen)) {
            return outer;
        }
        const long long d = distance(outer, screen);
        if (d < best) {
            best = d;
            nearest = &screen;
        }
    }
    if (!nearest) {
        return outer;
    }
    return {fitInto(outer.x(), outer.width(), nearest->x(), nearest->width()),
            fitInto(outer.y(), outer.height(), nearest->y(), nearest->height()), outer.width(),
            outer.height()};
}

}  // namespace mossleaf::OuterGeometry
