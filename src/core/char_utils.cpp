#include "core/char_utils.h"

namespace mossleaf::CHAR {

int CountChar(std::u16string_view text, std::u16string_view ch) {
    if (ch.size() != 1) {
        return 0;
    }
    int count = 0;
    for (const char16_t c : text) {
        count += c == ch[0];
    }
    return count;
}

int FindNth(std::u16string_view text, std::u16string_view pattern, int n) {
    if (n <= 0) {
        return -1;
    }
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Near the end the compared part is shorter than the pattern and cannot match,
        // except for an empty pattern, which matches everywhere.
        if (text.substr(i, pattern.size()) == pattern && ++count == n) {
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

std::u16string GetField(std::u16string_view text, std::u16string_view delimiters, int n) {
    if (n <= 0) {
        return {};
    }
    std::size_t fieldStart = 0;
    int delimiterCount = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (delimiters.find(text[i]) == std::u16string_view::npos) {
            continue;
        }
        if (++delimiterCount == n) {
            return std::u16string(text.substr(fieldStart, i - fieldStart));
        }
        fieldStart = i + 1;
    }
    if (delimiterCount == n - 1) {
        return std::u16string(text.substr(fieldStart));
    }
    return {};
}

}  // namespace mossleaf::CHAR
