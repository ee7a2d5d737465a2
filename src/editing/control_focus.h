#pragma once

#include <QFocusEvent>

namespace mossleaf::ControlFocus {

// A menu, a message box or another window opening does not count as leaving a text box; only
// the focus moving to another control of the window does.
inline bool movedToAnotherControl(const QFocusEvent* event) {
    return event->reason() != Qt::PopupFocusReason &&
           event->reason() != Qt::ActiveWindowFocusReason;
}

}  // namespace mossleaf::ControlFocus
