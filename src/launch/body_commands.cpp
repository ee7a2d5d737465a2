#include "launch/body_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

#include "core/char_utils.h"
#include "launch/link_launcher.h"
#include "widgets/qt_text.h"

namespace BodyCommands {

namespace {

// The body text box's bodyText keeps what the user typed (toPlainText would turn no-break
// spaces into spaces). A U+2028 or U+2029 that came in some other way shows as a line
// break, so it is one here.
QString shownText(const QString& shown) {
    QString text = shown;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace

std::u16string BodyText(const QString& shown) {
    return QtText::bodyFromDisplay(shownText(shown));
}

QString ClipboardText(const QString& shown) {
    return shownText(shown);
}

void CopyBody(const QString& shown) {
    QGuiApplication::clipboard()->setText(ClipboardText(shown));
}

void ExecuteFirstLine(QWidget* owner, ShellOpener& shell, const QString& shown) {
    // Only the first line is taken, so only it and the break after it are converted, not a
    // body of many megabytes behind it.
    const auto lineBreak = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    const auto end = std::find_if(shown.cbegin(), shown.cend(), lineBreak);
    const QString head = shown.left(end - shown.cbegin() + 1);
    const std::u16string firstLine = CHAR::GetField(BodyText(head), u"\r", 1);
    HHelp::OpenLink(owner, shell, QtText::toQString(firstLine));
}

}  // namespace BodyCommands
