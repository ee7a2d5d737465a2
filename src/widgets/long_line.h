#pragma once

#include <QString>

class QFont;
class QFontMetrics;
class QWidget;

// A line the user wrote (a link, a path, a title) may be of any length, a megabyte even. Where
// such a line is shown in one piece, a message box, a tooltip, a status panel, it is first
// brought down to what fits: laid out whole, a long line takes seconds, and what does not fit
// is cut off anyway. Nothing here measures more characters than could be seen.
namespace mossleaf::LongLine {

// The line with at most `maxChars` characters: its middle gives way to "…". A surrogate pair
// is kept whole or left out.
QString middleCut(const QString& line, qsizetype maxChars);

// The line no wider than `width` pixels in `metrics`, its end replaced by "…".
QString elidedAtEnd(const QString& line, const QFontMetrics& metrics, int width);

// Whether the line is wider than `width` pixels in `metrics`.
bool widerThan(const QString& line, const QFontMetrics& metrics, int width);

// The text in lines no wider than `width` pixels, broken at blanks where it can, else between
// characters; the lines are joined by LF.
QString wrapped(const QString& text, const QFont& font, int width);

// The widest a line of a message or a tooltip is made: half the available width of the screen
// `near` is on (the primary screen without one), so that what shows it stays well inside it.
int comfortableWidth(const QWidget* near);

// The line as a message box shows it: as the user wrote it, or shortened in the middle to
// comfortableWidth. What the line names (the link handed to the shell, the file) is the caller's
// own, unchanged.
QString forMessage(const QString& line, const QWidget* near = nullptr);

}  // namespace mossleaf::LongLine
