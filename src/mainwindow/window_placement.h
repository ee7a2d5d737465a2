#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;
class QWindow;

namespace mossleaf {

class SettingsStore;

// Places the main window by its outer bounds (frame and title bar included), as the settings
// store keeps them, and writes them back when the window closes.
//
// On X11 a window manager frames a window only after it is mapped: until then no frame is
// known, and a position given to the window is taken for its client area, so the title bar
// would land above the stored place and the window would creep up on every start. So the outer
// rectangle is remembered, and once the window manager has mapped the window and its frame is
// known, the window is placed again so that its frame stands there. A window manager that frames
// early is served at once; without one the frame stays empty and the client area is the outer
// rectangle.
class WindowPlacement : public QObject {
public:
    // The frame around the window's client area as the window system reports it now; empty
    // while it is unknown or when there is none.
    using FrameProbe = std::function<QMargins(const QWidget&)>;

    explicit WindowPlacement(QWidget& window, FrameProbe frame = {});
    ~WindowPlacement() override;
    WindowPlacement(const WindowPlacement&) = delete;
    WindowPlacement& operator=(const WindowPlacement&) = delete;

    // Reads MainLeft, MainTop, MainWidth and MainHeight and places the window there, onto the
    // nearest screen if they lie off every screen. A value no window can have counts as absent:
    // its default is used, and written back as long as the window keeps it.
    void restore(SettingsStore& store, double twipsPerPixelX, double twipsPerPixelY);

    // Writes the outer bounds back; a side the window still has where it was restored keeps
    // the stored value, finer than a pixel.
    void save(SettingsStore& store, double twipsPerPixelX, double twipsPerPixelY) const;

    // The window's outer bounds now, in pixels.
    QRect outerGeometry() const;

    // The least outer width, in pixels. The window system is given the least width of what
    // lies inside the frame, so that width follows the frame: a least width given while no frame
    // was known would otherwise hold the window a frame's width wider than the least once the
    // window manager has framed it.
    void setLeastOuterWidth(int pixels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(const QMargins& frame);
    void applyLeastWidth(const QMargins& frame);
    void watchWindowHandle();

    QWidget& window_;
    FrameProbe frame_;
    bool restored_ = false;
    bool frameSeen_ = false;
    bool exposed_ = false;
    int leastOuterWidth_ = 0;
    QPointer<QWindow> watchedHandle_;
    QRect wanted_;           // outer rectangle, pixels
    double stored_[4] = {};  // left, top, width, height as read (or defaulted), twips
    bool exact_[4] = {};     // whether wanted_ holds that value, to the pixel
};

}  // namespace mossleaf
