#include "launch/body_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "editing/qt_text.h"
#include "launch/char_utils.h"
#include "launch/link_launcher.h"

namespace BodyCommands {

namespace {

// The raw text keeps what the user typed (toPlainText would turn no-break spaces into
// spaces). Blocks are separated by U+2029 there, and Shift+Enter puts a U+2028 inside a
// block: both show as a line break, so both are one here.
QString shownText(const QPlainTextEdit& text2) {
    QString text = text2.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace

std::u16string BodyText(const QPlainTextEdit& text2) {
    return QtText::bodyFromDisplay(shownText(text2));
}

QString ClipboardText(const QPlainTextEdit& text2) {
    return shownText(text2);
}

void CopyBody(const QPlainTextEdit& text2) {
    QGuiApplication::clipboard()->setText(ClipboardText(text2));
}

void ExecuteFirstLine(QWidget* owner, ShellOpener& shell, const QPlainTextEdit& text2) {
    const std::u16string firstLine = CHAR::GetField(BodyText(text2), u"\r", 1);
    HHelp::OpenLink(owner, shell, QtText::toQString(firstLine));
}

}  // namespace BodyCommands
