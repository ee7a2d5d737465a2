#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

class QWidget;

// A top-level window's outer bounds (frame and title bar included), as the window settings
// and the pane layout reason about them. Without a window manager the frame is empty and the
// outer bounds are the window's own.
namespace OuterGeometry {

// The frame the window system reports around the window now; empty while it is unknown or
// makes no sense.
QMargins frameMargins(const QWidget& window);

double width(const QWidget& window, double twipsPerPixelX);
void setWidth(QWidget& window, double twips, double twipsPerPixelX);

// Pixels the frame adds to the window's own width.
int frameExtraWidth(const QWidget& window);

// `outer` as it is when the user can still reach its title bar on one of the screens' areas;
// otherwise moved onto the nearest one, whole if it fits there, its top-left corner on it if
// not.
QRect ontoNearestScreen(const QRect& outer, const QList<QRect>& screens);

}  // namespace OuterGeometry
