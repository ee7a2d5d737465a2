#pragma once

#include <QString>
#include <string>
#include <string_view>

// The Document holds UTF-16 text with CR LF between lines; widgets hold QString with LF.
namespace QtText {

inline QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

inline std::u16string fromQString(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

// CR LF (and any lone CR) to LF, for a text edit.
QString bodyForDisplay(std::u16string_view body);

// LF, and the paragraph separators a text document uses, to CR LF.
std::u16string bodyFromDisplay(const QString& shown);

}  // namespace QtText
