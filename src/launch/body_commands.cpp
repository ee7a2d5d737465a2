#include "launch/body_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

#include "launch/link_launcher.h"

namespace mossleaf::BodyCommands {

void copyBody(const QString& shown) {
    // The body text box's bodyText keeps what the user typed (toPlainText would turn no-break
    // spaces into spaces). A U+2028 or U+2029 that came in some other way shows as a line
    // break, so it is one here. The text is copied only when it holds one.
    QString text = shown;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(text);
}

void executeFirstLine(QWidget* owner, ShellOpener& shell, QStringView shown) {
    const auto lineBreak = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    const auto end = std::find_if(shown.cbegin(), shown.cend(), lineBreak);
    HHelp::OpenLink(owner, shell, shown.first(end - shown.cbegin()).toString());
}

}  // namespace mossleaf::BodyCommands
