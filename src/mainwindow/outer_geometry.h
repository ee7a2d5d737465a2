#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

class QWidget;

// A top-level window's outer bounds (frame and title bar included), as the window settings
// and the pane layout reason about them. Without a window manager the frame is empty and the
// outer bounds are the window's own.
namespace mossleaf::OuterGeometry {

// The frame the window system reports around the window now; empty while it is unknown or
// makes no sense.
QMargins frameMargins(const QWidget& window);

double width(const QWidget& window, double twipsPerPixelX);
void setWidth(QWidget& window, double twips, double twipsPerPixelX);

// Pixels the frame adds to the window's own width.
int frameExtraWidth(const QWidget& window);

// The farthest a window can lie from the origin and the most it can measure across, in
// pixels: X11 keeps window coordinates in 16 bits, and Qt's xcb plugin cuts sizes there too.
// No screen is larger, so a size beyond it fits none. The screens' own size is deliberately not
// the limit: a window that spanned two monitors is still stored after one is unplugged, and one
// stretched past the screen's edge is still a window the user can move and size once its title
// bar is on a screen again; the rest is the window manager's business.
constexpr int kWindowSystemLimit = 32767;

// Whether the window system can put a window at this position, or give it this size, at all.
// Off every screen or larger than any is still possible: the screen correction and the
// window manager see to that.
bool possiblePosition(int pixels);
bool possibleSize(double twips, double twipsPerPixel);

// `outer` as it is when the user can still reach its title bar on one of the screens' areas;
// otherwise moved onto the nearest one, whole if it fits there, its top-left corner on it if
// not.
QRect ontoNearestScreen(const QRect& outer, const QList<QRect>& screens);

}  // namespace mossleaf::OuterGeometry
