#include "core/typed_text.h"

namespace mossleaf {

namespace {

// Calls `lineBreak` for each line break and `character` for everything else; CR LF is one
// break.
template <typename LineBreak, typename Character>
void forEachUnit(std::u16string_view text, LineBreak lineBreak, Character character) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            lineBreak();
        } else if (c == u'\n' || c == u'\u2029') {
            lineBreak();
        } else {
            character(c);
        }
    }
}

}  // namespace

std::u16string titleFromTyped(std::u16string_view typed) {
    std::u16string title;
    title.reserve(typed.size());
    // Breaks become blanks only once a character follows them, and only after a first one: a
    // copied line brings its line end along, and the title would end in a blank no one sees.
    std::size_t breaks = 0;
    const auto lineBreak = [&] { breaks += title.empty() ? 0 : 1; };
    forEachUnit(typed, lineBreak, [&](char16_t c) {
        if (c == u'\u2028') {
            lineBreak();
            return;
        }
        title.append(breaks, u' ');
        breaks = 0;
        title.push_back(c);
    });
    return title;
}

std::u16string bodyFromTyped(std::u16string_view typed) {
    std::u16string body;
    body.reserve(typed.size() + typed.size() / 32);
    forEachUnit(
        typed, [&] { body.append(u"\r\n"); }, [&](char16_t c) { body.push_back(c); });
    return body;
}

}  // namespace mossleaf
