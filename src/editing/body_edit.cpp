#include "editing/body_edit.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <iterator>

#include "editing/body_fill.h"
#include "editing/body_pieces.h"
#include "editing/control_focus.h"
#include "editing/window_shortcuts.h"

namespace mossleaf {

BodyEdit::BodyEdit(QWidget* parent) : QPlainTextEdit(parent), fill_(new BodyFill(*this)) {
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &BodyEdit::keepCursorOffPieceEnds);
    connect(fill_, &BodyFill::failed, this, &BodyEdit::fillFailed);
}

void BodyEdit::showBody(const QString& shown) {
    setPlainText(QString());  // resets the cursor, the scrolling and the undo history
    fill_->start(shown);
    document()->setModified(false);
    placeCursor(QTextCursor(document()));
}

bool BodyEdit::isFilling() const {
    return fill_->pending();
}

void BodyEdit::finishFill() {
    fill_->finish();
}

QString BodyEdit::bodyText() {
    finishFill();
    return BodyPieces::joinedText(*document());
}

QString BodyEdit::firstLineText() const {
    QTextBlock last = document()->firstBlock();
    while (last.next().isValid() && BodyPieces::continuesLine(last.next())) {
        last = last.next();
    }
    return BodyPieces::joinedText(*document(), 0, last.position() + last.length() - 1);
}

bool BodyEdit::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:  // the arrow keys too: Ctrl+End and Page Down go to the real end
        case QEvent::InputMethod:
        case QEvent::ContextMenu:  // Select All, Delete
        case QEvent::Drop:
            finishFill();
            break;
        default:
            break;
    }
    if (WindowShortcuts::leaveToWindow(event)) {
        return true;  // Ctrl+C copies the whole body through the window's command
    }
    return QPlainTextEdit::event(event);
}

void BodyEdit::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange) {
        showReadOnlyState();
    }
}

void BodyEdit::showReadOnlyState() {
    if (!isReadOnly()) {
        setPalette(QPalette());  // back to the window's colours
        return;
    }
    // Disabling the box would look the same, but it would also take away the focus, the
    // selection and the scrolling that Copy and reading a long body need.
    QPalette look = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Text}) {
            look.setBrush(group, role, look.brush(QPalette::Disabled, role));
        }
    }
    setPalette(look);
}

void BodyEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift+Enter would put a U+2028 line separator into the body: it looks like a line
        // break but is a character CP932 cannot hold, and would turn the file into UTF-8.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    if (moveAcrossPieces(event) || (!isReadOnly() && editAcrossPieces(event))) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool BodyEdit::moveAcrossPieces(QKeyEvent* event) {
    using BodyPieces::Step;
    struct Move {
        QKeySequence::StandardKey key;
        Step step;
        bool select;
        bool deletes;
    };
    static constexpr Move kMoves[] = {
        {QKeySequence::MoveToNextChar, Step::NextCharacter, false, false},
        {QKeySequence::MoveToPreviousChar, Step::PreviousCharacter, false, false},
        {QKeySequence::SelectNextChar, Step::NextCharacter, true, false},
        {QKeySequence::SelectPreviousChar, Step::PreviousCharacter, true, false},
        {QKeySequence::MoveToNextWord, Step::NextWord, false, false},
        {QKeySequence::MoveToPreviousWord, Step::PreviousWord, false, false},
        {QKeySequence::SelectNextWord, Step::NextWord, true, false},
        {QKeySequence::SelectPreviousWord, Step::PreviousWord, true, false},
        {QKeySequence::DeleteEndOfWord, Step::NextWord, true, true},
        {QKeySequence::DeleteStartOfWord, Step::PreviousWord, true, true},
    };
    QTextCursor cursor = textCursor();
    const bool toEnd = event->matches(QKeySequence::MoveToEndOfLine);
    if (toEnd || event->matches(QKeySequence::SelectEndOfLine)) {
        if (!BodyPieces::continuesLine(cursor.block().next())) {
            return false;
        }
        // Where a line wraps after a blank, End stops before the blank, on the row it ends; the
        // end of a piece is such a place.
        const QTextCursor::MoveMode mode =
            toEnd ? QTextCursor::MoveAnchor : QTextCursor::KeepAnchor;
        cursor.movePosition(QTextCursor::EndOfLine, mode);
        if (cursor.atBlockEnd() && !cursor.atBlockStart() &&
            document()->characterAt(cursor.position() - 1).isSpace()) {
            cursor.movePosition(QTextCursor::PreviousCharacter, mode);
        }
    } else {
        const auto move = std::find_if(std::begin(kMoves), std::end(kMoves),
                                       [event](const Move& m) { return event->matches(m.key); });
        if (move == std::end(kMoves) ||
            (move->deletes && (isReadOnly() || cursor.hasSelection()))) {
            return false;
        }
        const bool byCharacter =
            move->step == Step::NextCharacter || move->step == Step::PreviousCharacter;
        if (byCharacter && !move->select && cursor.hasSelection()) {
            return false;  // the selection goes, the cursor stays at its end: nothing to mend
        }
        const int target = BodyPieces::stepInLine(*document(), cursor.position(), move->step);
        if (target < 0) {
            return false;
        }
        cursor.setPosition(target,
                           move->select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
        if (move->deletes) {
            cursor.removeSelectedText();
        }
    }
    placeCursor(cursor);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (cursor.hasSelection() && clipboard->supportsSelection()) {
        clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
    }
    return true;
}

bool BodyEdit::editAcrossPieces(QKeyEvent* event) {
    QTextCursor cursor = textCursor();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        // Qt gives the new block the format of the one it splits, mark included: the text
        // after the cursor would stay on the line.
        BodyPieces::insertText(cursor, QStringLiteral("\n"));
    } else if (event->key() == Qt::Key_Backspace && !(modifiers & ~Qt::ShiftModifier) &&
               !cursor.hasSelection() && BodyPieces::continuesLine(cursor.block()) &&
               cursor.atBlockStart()) {
        // The boundary is no character: the one before it goes.
        while (cursor.atBlockStart() && BodyPieces::continuesLine(cursor.block())) {
            cursor.movePosition(QTextCursor::PreviousCharacter);
        }
        cursor.deletePreviousChar();
    } else if (event->matches(QKeySequence::Delete) && !cursor.hasSelection() &&
               cursor.atBlockEnd() && BodyPieces::continuesLine(cursor.block().next())) {
        while (cursor.atBlockEnd() && BodyPieces::continuesLine(cursor.block().next())) {
            cursor.movePosition(QTextCursor::NextCharacter);
        }
        cursor.deleteChar();
    } else {
        return false;
    }
    placeCursor(cursor);
    return true;
}

void BodyEdit::placeCursor(const QTextCursor& cursor) {
    setTextCursor(cursor);
    ensureCursorVisible();
}

void BodyEdit::keepCursorOffPieceEnds() {
    const QTextCursor cursor = textCursor();
    const int position = BodyPieces::laterTwin(*document(), cursor.position());
    const int anchor = BodyPieces::laterTwin(*document(), cursor.anchor());
    if (position != cursor.position() || anchor != cursor.anchor()) {
        QTextCursor moved = cursor;
        moved.setPosition(anchor);
        moved.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(moved);
    }
}

void BodyEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (ControlFocus::movedToAnotherControl(event)) {
        emit focusLost();
    }
}

QMimeData* BodyEdit::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* mime = new QMimeData;
    mime->setText(
        BodyPieces::joinedText(*document(), cursor.selectionStart(), cursor.selectionEnd()));
    return mime;
}

void BodyEdit::insertFromMimeData(const QMimeData* source) {
    finishFill();  // a paste with the middle button, or the paste slot
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    BodyPieces::insertText(cursor, source->text());
    placeCursor(cursor);
}

}  // namespace mossleaf
