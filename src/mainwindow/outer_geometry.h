#pragma once

class QWidget;

// A top-level window's outer bounds (frame and title bar included) in twips, as the window
// settings and the pane layout reason about them. Without a window manager the frame is
// empty and the outer bounds are the window's own.
namespace OuterGeometry {

double left(const QWidget& window, double twipsPerPixelX);
double top(const QWidget& window, double twipsPerPixelY);
double width(const QWidget& window, double twipsPerPixelX);
double height(const QWidget& window, double twipsPerPixelY);

void setLeft(QWidget& window, double twips, double twipsPerPixelX);
void setTop(QWidget& window, double twips, double twipsPerPixelY);
void setWidth(QWidget& window, double twips, double twipsPerPixelX);
void setHeight(QWidget& window, double twips, double twipsPerPixelY);

// Pixels the frame adds to the window's own width.
int frameExtraWidth(const QWidget& window);

}  // namespace OuterGeometry
