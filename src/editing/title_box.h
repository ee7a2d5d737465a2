#pragma once

#include <QClipboard>
#include <QLineEdit>

namespace mossleaf {

// Text1: the one-line title box of the popup's New node and Rename commands. Every key press
// that produces a character is offered to keyPressed first (Enter as 13); a handler that sets
// the code to 0 keeps the box from seeing the key.
//
// The box holds at most kMaxTitleLength characters (UTF-16 code units). A line edit lays out
// and paints its whole text on every change and on every blink of the caret, so a longer text
// would keep the window busy (bench/title_show_bench.cpp measures it). Text that would make the
// box longer is refused whole, whichever way it comes (typing, Ctrl+V or Shift+Insert, the
// box's context menu, the X11 middle-button paste, a drop, an input method): the box stays as
// it was and titleTooLong reports the length the text would have had; nothing is ever cut. A
// longer title put in by the program (Rename of a title read from a file) stays as it is and
// may be shortened, but no edit makes it longer.
//
// Why 10,000 (bench/title_paste_bench.py: the real program under Xvfb and openbox; and
// bench/run_title_show_bench.sh): with a title of 10,000 characters no step of its way, the
// paste, the commit to the tree, the click that puts it in the status bar, keeps the window
// from answering for more than 0.07 s, whatever the script (Japanese; Latin, Japanese and
// Arabic mixed), and a repaint that recurs (the caret's blink, the clock's tick) costs at most
// 0.02 s. At 16,000 the click takes up to 0.13 s, at 32,000 up to 0.3 s, the most a paste may
// keep the window busy. Latin text costs about a fifth as much.
class TitleBox : public QLineEdit {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxTitleLength = 10000;

    explicit TitleBox(QWidget* parent);

signals:
    void keyPressed(int& keyAscii);
    void focusLost();
    // An edit was refused: the box would have held `length` characters. From a drop or an
    // input method it is reported once that event is over.
    void titleTooLong(qsizetype length);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    enum class Report { Now, Later };
    // Whether the box may hold `lengthAfter` characters after an edit; reports a refusal.
    bool admits(qsizetype lengthAfter, Report report);
    // Length of the text with the selection replaced by `inserted` characters.
    qsizetype lengthReplacingSelection(qsizetype inserted) const;
    // Ctrl+V, Shift+Insert, the context menu's Paste: the text replaces the selection. The
    // middle button (`atCursor`): the text goes in at the cursor, as QLineEdit puts it there.
    void pasteChecked(QClipboard::Mode mode, bool atCursor);
    void insertChecked(const QString& text);
};

}  // namespace mossleaf
