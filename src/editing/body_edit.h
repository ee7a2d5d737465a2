#pragma once

#include <QPlainTextEdit>

namespace mossleaf {

class BodyFill;

// Text2: the body of the current node. It leaves the window's Ctrl+C and Ctrl+N to the
// window, so that they run their commands while the text has the focus. Long lines are held
// as several blocks (see BodyPieces), so that a body of megabytes on one line shows and takes
// typing at once; showBody and bodyText put a body in and take it out. The cursor keys, the
// selection and the deleting keys treat the boundary between two pieces as no character, as on
// the unbroken line, with the boundary where the line wraps. While it is read-only (no node is
// shown) it wears the disabled colours, so that nobody types into a box that would ignore them.
// A big body is shown in parts (see BodyFill); the first key, paste, drop or menu on the box
// and taking the text out finish it first, so that what is typed, undone and stored is exact.
class BodyEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit BodyEdit(QWidget* parent);

    // Shows `shown` (lines separated by LF) with an empty undo history, unmodified.
    void showBody(const QString& shown);

    // The text as the user sees it, lines separated by LF; all of it, while it is filling too.
    QString bodyText();
    // A body shown in parts is still going in.
    bool isFilling() const;
    // Its first line, up to the first line break between blocks: one that the user typed
    // with Shift+Enter (U+2028) is still in it.
    QString firstLineText() const;

signals:
    void focusLost();
    // There was no memory for the rest of a body shown in parts: the box shows only a part.
    void fillFailed();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // They would show each boundary between pieces as a line break, and take the body in
    // unpieced: a body goes in through showBody and out through bodyText.
    using QPlainTextEdit::appendPlainText;
    using QPlainTextEdit::clear;
    using QPlainTextEdit::insertPlainText;
    using QPlainTextEdit::setPlainText;
    using QPlainTextEdit::toPlainText;

    // Left and Right with or without Ctrl and Shift, Ctrl+Backspace and Ctrl+Delete on a line
    // held in pieces, and End in a piece that the next one continues; false when the key is left to
    // the default handling.
    bool moveAcrossPieces(QKeyEvent* event);
    // Enter, Backspace and Delete where a piece boundary would get in the way; false when
    // the key is left to the default handling.
    bool editAcrossPieces(QKeyEvent* event);
    void placeCursor(const QTextCursor& cursor);
    // Moves the cursor and the anchor off the end of a piece to the start of the next, the same
    // place of the line, wherever they come from (keys, mouse, undo), so that no key press
    // spends itself stepping from one to the other.
    void keepCursorOffPieceEnds();
    void showReadOnlyState();
    // The rest of a body shown in parts, now: before anything edits the text.
    void finishFill();

    BodyFill* fill_;
};

}  // namespace mossleaf
