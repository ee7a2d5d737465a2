#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mossleaf {

// Reads the number at the start of `text` the way the classic Basic Val does for decimals:
// blanks (space, tab, line feed) are ignored wherever they stand, then an optional sign,
// digits and an optional fraction; reading stops at the first character that cannot
// continue the number, and no digits give 0. The value is rounded to the nearest whole
// number, halves to the even one. Returns nothing when that does not fit 16 bits.
std::optional<std::int16_t> readInt16Number(std::string_view text);

}  // namespace mossleaf
