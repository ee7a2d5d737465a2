#pragma once

#include <QString>
#include <string>

class QWidget;
class ShellOpener;

// Copy and Execute on the text that the body text box shows, typed text included, as the box
// gives it (BodyEdit::bodyText). Neither touches the stored bodies nor the keyboard focus.
namespace BodyCommands {

// The shown text with CR LF between lines, as the Document keeps bodies.
std::u16string BodyText(const QString& shown);

// The shown text with the platform's line breaks (LF), as the clipboard takes it.
QString ClipboardText(const QString& shown);

// Puts the whole text on the clipboard, whatever part of it is selected.
void CopyBody(const QString& shown);

// Opens the text's first line (everything before the first CR) as a link.
void ExecuteFirstLine(QWidget* owner, ShellOpener& shell, const QString& shown);

}  // namespace BodyCommands
