#include "launch/body_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "editing/body_edit.h"
#include "widgets/qt_text.h"
#include "core/char_utils.h"
#include "launch/link_launcher.h"

namespace BodyCommands {

namespace {

// bodyText keeps what the user typed (toPlainText would turn no-break spaces into spaces).
// A U+2028 or U+2029 that came in some other way shows as a line break, so it is one here.
QString shownText(const BodyEdit& text2) {
    QString text = text2.bodyText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace

std::u16string BodyText(const BodyEdit& text2) {
    return QtText::bodyFromDisplay(shownText(text2));
}

QString ClipboardText(const BodyEdit& text2) {
    return shownText(text2);
}

void CopyBody(const BodyEdit& text2) {
    QGuiApplication::clipboard()->setText(ClipboardText(text2));
}

void ExecuteFirstLine(QWidget* owner, ShellOpener& shell, const BodyEdit& text2) {
    const std::u16string firstLine = CHAR::GetField(BodyText(text2), u"\r", 1);
    HHelp::OpenLink(owner, shell, QtText::toQString(firstLine));
}

}  // namespace BodyCommands
