#pragma once

class QWidget;
class SettingsStore;

// Restores the main window's outer bounds from the settings store at start and writes them
// back at the end.
//
// A window manager may frame the window only after it is shown; until then the frame is
// unknown and the stored outer size becomes the inner size. The size written back is the
// inner size plus the frame that was known at restoring, so the window reopens at the size
// it was closed at, instead of growing by its frame on every start.
namespace WindowPlacement {

// Left, top, width and height, each applied before the next is read.
void restore(QWidget& window, SettingsStore& store, double twipsPerPixelX, double twipsPerPixelY);

void save(const QWidget& window, SettingsStore& store, double twipsPerPixelX,
          double twipsPerPixelY);

}  // namespace WindowPlacement
