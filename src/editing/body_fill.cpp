#include "editing/body_fill.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <new>

#include "editing/body_pieces.h"

namespace mossleaf {

namespace {

// One slice of the fill: short enough that a key or click waits no longer than a frame.
constexpr qint64 kSliceMs = 12;
// Appended with one call: a few milliseconds of Qt's work on short lines.
constexpr qsizetype kChunk = qsizetype{32} * 1024;

}  // namespace

BodyFill::BodyFill(QPlainTextEdit& edit) : QObject(&edit), edit_(edit) {
    slice_.setSingleShot(true);
    slice_.setInterval(0);
    connect(&slice_, &QTimer::timeout, this, &BodyFill::fillSlice);
}

void BodyFill::start(const QString& text) {
    cancel();
    rest_ = text;
    appendUpTo(text.size() > kAtOnce ? kFirstPart : text.size());
    if (pending()) {
        slice_.start();
    }
}

void BodyFill::finish() {
    if (pending()) {
        appendUpTo(rest_.size());
    }
}

void BodyFill::cancel() {
    slice_.stop();
    rest_.clear();
    done_ = 0;
}

void BodyFill::fillSlice() {
    QElapsedTimer clock;
    clock.start();
    while (pending() && !clock.hasExpired(kSliceMs)) {
        appendUpTo(done_ + kChunk);
    }
    if (pending()) {
        slice_.start();
    }
}

void BodyFill::keepCursor(int anchor, int position) {
    QTextCursor cursor = edit_.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    // Setting the cursor scrolls to it, away from wherever the user has scrolled meanwhile.
    const int top = edit_.verticalScrollBar()->value();
    const int left = edit_.horizontalScrollBar()->value();
    edit_.setTextCursor(cursor);
    edit_.verticalScrollBar()->setValue(top);
    edit_.horizontalScrollBar()->setValue(left);
}

void BodyFill::appendUpTo(qsizetype end) {
    const qsizetype lineFeed = end < rest_.size() ? rest_.indexOf(QLatin1Char('\n'), end - 1) : -1;
    end = lineFeed < 0 ? rest_.size() : lineFeed + 1;
    QTextDocument& document = *edit_.document();
    const bool modified = document.isModified();
    // Text that goes in where the edit's cursor or anchor is would push it along (Qt moves the
    // anchor even of a cursor told to keep its place), so a caret left at the end of the part
    // shown would get a selection up to the new end.
    const QTextCursor shown = edit_.textCursor();
    const int position = shown.position();
    const int anchor = shown.anchor();
    try {
        // Undo stays off for the fill: the user's first edit would otherwise undo a slice of it.
        document.setUndoRedoEnabled(false);
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        BodyPieces::insertText(
            cursor, done_ == 0 && end == rest_.size() ? rest_ : rest_.sliced(done_, end - done_));
        document.setUndoRedoEnabled(true);
        document.setModified(modified);
        if (shown.position() != position || shown.anchor() != anchor) {
            keepCursor(anchor, position);
        }
    } catch (const std::bad_alloc&) {
        // Leaving an event handler, the exception would abort the program.
        document.setUndoRedoEnabled(true);
        cancel();
        emit failed();
        return;
    }
    done_ = end;
    if (done_ == rest_.size()) {
        cancel();
    }
}

}  // namespace mossleaf
