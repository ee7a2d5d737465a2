#pragma once

class QKeyEvent;

// Ctrl+N and Ctrl+C belong to the whole window; text boxes must not take them for themselves.
namespace WindowShortcuts {

bool isWindowShortcut(const QKeyEvent* event);

}  // namespace WindowShortcuts
