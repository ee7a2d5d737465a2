#include "mainwindow/screen_twips.h"

#include <QScreen>
#include <QWidget>

#include "core/twips.h"

namespace mossleaf::ScreenTwips {

double perPixelX(const QWidget& widget) {
    const QScreen* s = widget.screen();
    return Twips::perPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

double perPixelY(const QWidget& widget) {
    const QScreen* s = widget.screen();
    return Twips::perPixel(s ? s->logicalDotsPerInchY() : 96.0);
}

}  // namespace mossleaf::ScreenTwips
