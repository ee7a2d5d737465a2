#pragma once

#include <QString>
#include <QStringView>
#include <QTextFormat>

class QTextBlock;
class QTextCursor;
class QTextDocument;

// Qt lays out a whole paragraph at once, so a line of a megabyte costs most of a second to
// show and again for every key typed into it. A long line is therefore kept in the document
// as several blocks ("pieces"); every block that continues the line of the block before it
// carries a mark in its block format. Block formats belong to the undo history, so undo and
// redo keep the marks right. Only the boundary before a marked block is invisible: it
// stands for no character of the body.
namespace mossleaf::BodyPieces {

// Lines longer than this are cut. The longer the pieces, the rarer the breaks on screen, but Qt
// lays out a whole piece again for every key typed into it, and where wrapping finds no place
// to break (Latin without blanks) in more than linear time; showing a body lays out the first
// and the last pieces several times. Measured with the benchmarks in bench/ on a busy machine:
// a piece of 3,000 characters takes 0.8 ms to lay out for Latin without blanks and 1.5 ms for
// Japanese; a key typed into a long line then costs up to 4 ms and showing a line of a megabyte
// up to 13 ms. At 4,000 a Japanese line of a megabyte took 14 to 17 ms to show, over budget.
constexpr qsizetype kPieceLength = 3000;

// Block format property: the block continues the line of the block before it.
constexpr int kContinuesLine = QTextFormat::UserProperty + 1;

bool continuesLine(const QTextBlock& block);

// Length of the first piece of `line` (which holds no line break): all of it when it is not
// longer than `pieceLength`. Else the cut falls where a row could wrap anyway: after the last
// blank in the second half of the piece; failing that, at a break opportunity near the end of
// the piece, best after punctuation, next where hiragana gives way to another script (so that
// "日本語の|テキスト" is cut, not "日本語のテ|キスト"); failing that (Latin without blanks), at
// `pieceLength`, moved back so as to split neither a surrogate pair nor a character from the
// marks that combine with it.
qsizetype firstPieceLength(QStringView line, qsizetype pieceLength = kPieceLength);

// Inserts `text` at `cursor` (replacing its selection): each line break in it becomes an
// unmarked block, each line longer than a piece is cut into marked pieces. The breaks are
// those QTextCursor::insertText knows: LF, CR, CR LF, U+2029, U+FDD0 and U+FDD1.
void insertText(QTextCursor& cursor, const QString& text);

// A cursor step along a line, as QTextCursor makes it for the arrow keys with or without Ctrl.
enum class Step { NextCharacter, PreviousCharacter, NextWord, PreviousWord };

// Where one `step` from `position` ends on the line as the user sees it, unbroken: a boundary
// between pieces is no character, and a word runs on across it. -1 where QTextCursor's own step
// is right already: on a line of one block, and at either end of a line.
int stepInLine(const QTextDocument& document, int position, Step step);

// The end of a piece and the start of the next are one place of the line. Cursors are kept at
// the later, where typing and the arrow keys go on as on one line: `position`, or the start of
// the piece that continues the line where `position` ends a piece.
int laterTwin(const QTextDocument& document, int position);

// The text from position `from` to `to` as the user sees it: blocks joined with LF, except
// before a marked block, where nothing stands. -1 for `to`: up to the end.
QString joinedText(const QTextDocument& document, int from = 0, int to = -1);

}  // namespace mossleaf::BodyPieces
