#include "editing/body_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextDocument>

#include "editing/body_layout.h"

#include "editing/control_focus.h"
#include "editing/window_shortcuts.h"

BodyEdit::BodyEdit(QWidget* parent) : QPlainTextEdit(parent) {
    auto* text = new QTextDocument(this);
    auto* layout = new BodyLayout(text);
    text->setDocumentLayout(layout);
    text->setDefaultFont(font());
    setDocument(text);
    normalWrap_ = wordWrapMode();
    connect(layout, &BodyLayout::wrapAnywhereWanted, this, [this](bool anywhere) {
        setWordWrapMode(anywhere ? QTextOption::WrapAnywhere : normalWrap_);
    });
}

bool BodyEdit::event(QEvent* event) {
    if (WindowShortcuts::leaveToWindow(event)) {
        return true;  // Ctrl+C copies the whole body through the window's command
    }
    return QPlainTextEdit::event(event);
}

void BodyEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift+Enter would put a U+2028 line separator into the body: it looks like a line
        // break but is a character CP932 cannot hold, and would turn the file into UTF-8.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void BodyEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (ControlFocus::movedToAnotherControl(event)) {
        emit LostFocus();
    }
}
