#include "core/number_text.h"

#include <cmath>

namespace mossleaf {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::int16_t> readInt16Number(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) {
            ++i;
        }
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Digits accumulate in a double: a huge number just ends beyond the range.
    double value = 0;
    for (skipBlanks(); i < text.size() && isDigit(text[i]); skipBlanks()) {
        value = value * 10 + (text[i++] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        for (skipBlanks(); i < text.size() && isDigit(text[i]); skipBlanks()) {
            value += (text[i++] - '0') * scale;
            scale /= 10;
        }
    }
    const double rounded = std::nearbyint(negative ? -value : value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace mossleaf
