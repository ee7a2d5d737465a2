#pragma once

#include <QString>
#include <string>

class BodyEdit;
class QWidget;
class ShellOpener;

// Copy and Execute on the text that the body text box shows, typed text included. Neither
// touches the stored bodies nor the keyboard focus.
namespace BodyCommands {

// The shown text with CR LF between lines, as the Document keeps bodies.
std::u16string BodyText(const BodyEdit& text2);

// The shown text with the platform's line breaks (LF), as the clipboard takes it.
QString ClipboardText(const BodyEdit& text2);

// Puts the whole text on the clipboard, whatever part of it is selected.
void CopyBody(const BodyEdit& text2);

// Opens the text's first line (everything before the first CR) as a link.
void ExecuteFirstLine(QWidget* owner, ShellOpener& shell, const BodyEdit& text2);

}  // namespace BodyCommands
