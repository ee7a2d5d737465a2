#include "editing/title_box.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <limits>

#include "editing/control_focus.h"
#include "editing/window_shortcuts.h"

namespace mossleaf {

TitleBox::TitleBox(QWidget* parent) : QLineEdit(parent) {
    // QLineEdit's own limit (32,767) would cut a long title offered by Rename, and a long paste
    // silently; the box refuses whole what is too long itself (admits).
    setMaxLength(std::numeric_limits<int>::max());
}

bool TitleBox::event(QEvent* event) {
    if (WindowShortcuts::leaveToWindow(event)) {
        return true;  // Ctrl+C and Ctrl+N run the window's commands, as in the body
    }
    return QLineEdit::event(event);
}

bool TitleBox::admits(qsizetype lengthAfter, Report report) {
    if (lengthAfter <= kMaxTitleLength || lengthAfter <= text().size()) {
        return true;
    }
    if (report == Report::Now) {
        emit titleTooLong(lengthAfter);
    } else {
        QTimer::singleShot(0, this, [this, lengthAfter] { emit titleTooLong(lengthAfter); });
    }
    return false;
}

qsizetype TitleBox::lengthReplacingSelection(qsizetype inserted) const {
    return text().size() - selectionLength() + inserted;
}

void TitleBox::insertChecked(const QString& text) {
    if (admits(lengthReplacingSelection(text.size()), Report::Now)) {
        insert(text);
    }
}

void TitleBox::pasteChecked(QClipboard::Mode mode, bool atCursor) {
    if (isReadOnly()) {
        return;
    }
    const QString clip = QGuiApplication::clipboard()->text(mode);
    const qsizetype after =
        atCursor ? text().size() + clip.size() : lengthReplacingSelection(clip.size());
    if (!admits(after, Report::Now)) {
        return;
    }
    if (atCursor) {
        deselect();
    }
    if (!clip.isEmpty() || hasSelectedText()) {
        insert(clip);
    }
}

void TitleBox::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (!typed.isEmpty()) {
        int keyAscii = typed.at(0).unicode();
        const int offered = keyAscii;
        emit keyPressed(keyAscii);
        if (keyAscii == 0) {
            event->accept();
            return;
        }
        if (keyAscii != offered) {
            // The handler replaced the character: type the replacement instead.
            insertChecked(QString(QChar(static_cast<char16_t>(keyAscii))));
            event->accept();
            return;
        }
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteChecked(QClipboard::Clipboard, false);
        event->accept();
        return;
    }
    // Control characters (Backspace, Ctrl+A...) type nothing; everything else may.
    const bool types = !typed.isEmpty() && typed.at(0).unicode() >= 0x20 && typed.at(0) != u'\x7F';
    if (types && !isReadOnly() && !admits(lengthReplacingSelection(typed.size()), Report::Now)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TitleBox::mouseReleaseEvent(QMouseEvent* event) {
    // The X11 selection paste, which QLineEdit does on the middle button's release.
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection()) {
        pasteChecked(QClipboard::Selection, true);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TitleBox::contextMenuEvent(QContextMenuEvent* event) {
    // QLineEdit's own menu, with its Paste going through the same check as Ctrl+V.
    QMenu* menu = createStandardContextMenu();
    if (menu == nullptr) {
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        // Qt connects it by name (SIGNAL/SLOT), which only a disconnect by name matches.
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste)) {
            connect(action, &QAction::triggered, this,
                    [this] { pasteChecked(QClipboard::Clipboard, false); });
        }
    }
    menu->popup(event->globalPos());
}

void TitleBox::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime != nullptr && !isReadOnly()) {
        const QString dropped = mime->text();
        // Moving a part of the box within the box keeps its length.
        const bool moveWithin = event->source() == this && event->dropAction() == Qt::MoveAction;
        if (!dropped.isNull() && !moveWithin &&
            !admits(text().size() + dropped.size(), Report::Later)) {
            event->ignore();  // the source keeps what it offered
            QDragLeaveEvent leave;
            QLineEdit::dragLeaveEvent(&leave);  // takes the drop caret away
            return;
        }
    }
    QLineEdit::dropEvent(event);
}

void TitleBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (!commit.isEmpty() && !isReadOnly()) {
        const qsizetype after =
            lengthReplacingSelection(commit.size()) - event->replacementLength();
        if (!admits(after, Report::Later)) {
            // The composition ends without its text.
            QInputMethodEvent cleared;
            QLineEdit::inputMethodEvent(&cleared);
            event->accept();
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
}

void TitleBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (ControlFocus::movedToAnotherControl(event)) {
        emit focusLost();
    }
}

}  // namespace mossleaf
