#include "launch/body_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "editing/qt_text.h"
#include "launch/char_utils.h"
#include "launch/link_launcher.h"

namespace BodyCommands {

// The raw text keeps what the user typed (toPlainText would turn no-break spaces into
// spaces); blocks are separated by U+2029 there.
std::u16string BodyText(const QPlainTextEdit& text2) {
    return QtText::bodyFromDisplay(text2.document()->toRawText());
}

QString ClipboardText(const QPlainTextEdit& text2) {
    QString text = text2.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void CopyBody(const QPlainTextEdit& text2) {
    QGuiApplication::clipboard()->setText(ClipboardText(text2));
}

void ExecuteFirstLine(QWidget* owner, ShellOpener& shell, const QPlainTextEdit& text2) {
    const std::u16string firstLine = CHAR::GetField(BodyText(text2), u"\r", 1);
    HHelp::OpenLink(owner, shell, QtText::toQString(firstLine));
}

}  // namespace BodyCommands
