#include "editing/window_shortcuts.h"

#include <QKeyEvent>

namespace mossleaf::WindowShortcuts {

bool isWindowShortcut(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::ControlModifier) {
        return false;
    }
    return event->key() == Qt::Key_C || event->key() == Qt::Key_N;
}

bool leaveToWindow(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride ||
        !isWindowShortcut(static_cast<QKeyEvent*>(event))) {
        return false;
    }
    event->ignore();
    return true;
}

}  // namespace mossleaf::WindowShortcuts
