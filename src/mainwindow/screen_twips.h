#pragma once

class QWidget;

// Twips per pixel on the screen a widget is on, through its logical DPI (96 when it has no
// screen yet).
namespace mossleaf::ScreenTwips {

double perPixelX(const QWidget& widget);
double perPixelY(const QWidget& widget);

}  // namespace mossleaf::ScreenTwips
