#pragma once

#include <QString>
#include <QStringView>

class QWidget;

namespace mossleaf {

class ShellOpener;

// Copy and Execute on the text that the body text box shows, typed text included, as the box
// gives it (BodyEdit::bodyText). Neither touches the stored bodies nor the keyboard focus.
namespace BodyCommands {

// Puts the whole text on the clipboard, whatever part of it is selected, with the platform's
// line breaks (LF).
void copyBody(const QString& shown);

// Opens the text's first line as a link: everything before the first line break, whichever
// kind the box holds (LF, CR, U+2028, U+2029). Only that line need be given.
void executeFirstLine(QWidget* owner, ShellOpener& shell, QStringView shown);

}  // namespace BodyCommands

}  // namespace mossleaf
