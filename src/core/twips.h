#pragma once

#include <cmath>

// Window and pane geometry is reasoned about in twips (1440 per logical inch) so that the
// layout reads the same on every screen; widgets want whole pixels.
namespace Twips {

constexpr double kPerInch = 1440.0;

inline double perPixel(double logicalDpi) {
    return logicalDpi > 0 ? kPerInch / logicalDpi : 15.0;
}

inline int toPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

inline double fromPixels(int pixels, double twipsPerPixel) {
    return pixels * twipsPerPixel;
}

}  // namespace Twips
