#pragma once

class QEvent;
class QKeyEvent;

// Ctrl+N and Ctrl+C belong to the whole window; text boxes must not take them for themselves.
namespace mossleaf::WindowShortcuts {

bool isWindowShortcut(const QKeyEvent* event);

// For a text box's event(): true when `event` is the override request of a window shortcut,
// which is then refused so that the window's action runs instead of the box's own binding.
bool leaveToWindow(QEvent* event);

}  // namespace mossleaf::WindowShortcuts
