#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <string>
#include <string_view>

// The Document holds UTF-16 text with CR LF between lines; widgets hold QString with LF.
namespace mossleaf::QtText {

inline QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

inline std::u16string_view viewOf(QStringView text) {
    return std::u16string_view(text.utf16(), static_cast<std::size_t>(text.size()));
}

inline std::u16string fromQString(const QString& text) {
    return std::u16string(viewOf(text));
}

// CR LF (and any lone CR) to LF, for a text edit.
QString bodyForDisplay(std::u16string_view body);

// Every line break (LF, the paragraph separators a text document uses, a lone CR) to CR LF.
std::u16string bodyFromDisplay(QStringView shown);

// Tests only: while set, bodyForDisplay calls `hook` with the body first, so that a test can
// throw from there (std::bad_alloc, as exhausted memory would). Pass {} to restore.
void setDisplayHookForTest(std::function<void(std::u16string_view)> hook);

}  // namespace mossleaf::QtText
