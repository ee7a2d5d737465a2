#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QPlainTextEdit;
class QTextDocument;

namespace mossleaf {

// Puts a big body into a text document in parts: the first part at once, the rest a slice at a
// time from the event loop, so that a click on a node with megabytes of short lines shows its
// first screen and takes input at once instead of after a second or more. The parts are cut
// after a line feed, so each line goes in whole (see BodyPieces::insertText). The rest is
// appended at the end, out of the undo history, and leaves the document as modified or not as
// it was: a body still filling reads and stores the same as one shown at once, provided nothing
// edits the document before the fill is finished (BodyEdit finishes it before any edit). The
// text edit's cursor and scrolling stay where they are.
class BodyFill : public QObject {
    Q_OBJECT

public:
    // Bodies up to this many characters go in at once: it takes Qt a few tens of milliseconds.
    static constexpr qsizetype kAtOnce = qsizetype{256} * 1024;
    // The first part: a screen of any window holds less.
    static constexpr qsizetype kFirstPart = qsizetype{64} * 1024;

    // Fills `edit`'s document, and belongs to `edit`.
    explicit BodyFill(QPlainTextEdit& edit);

    // Inserts `text` into the empty document with undo off: all of it, or the first part
    // with the rest to come.
    void start(const QString& text);
    bool pending() const { return !rest_.isEmpty(); }
    // The rest at once.
    void finish();
    // The rest is dropped: the document is going to show another text.
    void cancel();

signals:
    // There was no memory for the rest; the document holds only a part of the text.
    void failed();

private:
    void fillSlice();
    // Appends the rest up to `end`, cut after a line feed at or after it.
    void appendUpTo(qsizetype end);
    void keepCursor(int anchor, int position);

    QPlainTextEdit& edit_;
    QString rest_;
    qsizetype done_ = 0;  // of rest_, in the document
    QTimer slice_;
};

}  // namespace mossleaf
