#include "editing/qt_text.h"

namespace QtText {

QString bodyForDisplay(std::u16string_view body) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(body.size()));
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char16_t c = body[i];
        if (c == u'\r') {
            if (i + 1 < body.size() && body[i + 1] == u'\n') {
                ++i;
            }
            shown.append(QLatin1Char('\n'));
        } else {
            shown.append(QChar(c));
        }
    }
    return shown;
}

std::u16string bodyFromDisplay(const QString& shown) {
    std::u16string body;
    body.reserve(static_cast<std::size_t>(shown.size()) + 64);
    for (const QChar c : shown) {
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator) {
            body.append(u"\r\n");
        } else {
            body.push_back(c.unicode());
        }
    }
    return body;
}

}  // namespace QtText
