#include "widgets/qt_text.h"

#include "core/typed_text.h"

namespace mossleaf::QtText {

namespace {

std::function<void(std::u16string_view)>& displayHook() {
    static std::function<void(std::u16string_view)> hook;
    return hook;
}

}  // namespace

QString bodyForDisplay(std::u16string_view body) {
    if (displayHook()) {
        displayHook()(body);
    }
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

std::u16string bodyFromDisplay(QStringView shown) {
    return bodyFromTyped(viewOf(shown));
}

void setDisplayHookForTest(std::function<void(std::u16string_view)> hook) {
    displayHook() = std::move(hook);
}

}  // namespace mossleaf::QtText
