#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

// Window and pane geometry is reasoned about in twips (1440 per logical inch) so that the
// layout reads the same on every screen; widgets want whole pixels.
namespace mossleaf::Twips {

constexpr double kPerInch = 1440.0;

inline double perPixel(double logicalDpi) {
    return logicalDpi > 0 ? kPerInch / logicalDpi : 15.0;
}

// Saturates at the ends of int rather than wrapping: twips come from text the user can edit,
// and a value beyond int must stay beyond any limit it is checked against afterwards.
inline int toPixels(double twips, double twipsPerPixel) {
    const double pixels = std::round(twips / twipsPerPixel);
    if (std::isnan(pixels)) {
        return 0;
    }
    return static_cast<int>(std::clamp(pixels, double{INT_MIN}, double{INT_MAX}));
}

inline double fromPixels(int pixels, double twipsPerPixel) {
    return pixels * twipsPerPixel;
}

}  // namespace mossleaf::Twips
