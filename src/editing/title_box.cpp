#include "editing/title_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <limits>

#include "editing/control_focus.h"
#include "editing/window_shortcuts.h"

TitleBox::TitleBox(QWidget* parent) : QLineEdit(parent) {
    // QLineEdit's own limit (32,767) would cut a long title offered by Rename.
    setMaxLength(std::numeric_limits<int>::max());
}

bool TitleBox::event(QEvent* event) {
    if (WindowShortcuts::leaveToWindow(event)) {
        return true;  // Ctrl+C and Ctrl+N run the window's commands, as in the body
    }
    return QLineEdit::event(event);
}

void TitleBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int keyAscii = typed.at(0).unicode();
    const int offered = keyAscii;
    emit KeyPress(keyAscii);
    if (keyAscii == 0) {
        event->accept();
        return;
    }
    if (keyAscii != offered) {
        // The handler replaced the character: type the replacement instead.
        insert(QString(QChar(static_cast<char16_t>(keyAscii))));
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TitleBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (ControlFocus::movedToAnotherControl(event)) {
        emit LostFocus();
    }
}
