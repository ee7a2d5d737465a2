#pragma once

#include <string>
#include <string_view>

// Stateless text scanning on UTF-16 text. Positions are 1-based and as wide as an int, so a
// body of any length works (the 16-bit limit of the original design does not apply).
namespace mossleaf::CHAR {

// How often the one-character text `ch` occurs in `text`; 0 when `ch` is not one character.
int CountChar(std::u16string_view text, std::u16string_view ch);

// Start of the n-th occurrence of `pattern` (overlapping ones count), or -1.
int FindNth(std::u16string_view text, std::u16string_view pattern, int n);

// The n-th field of `text` split at any character of `delimiters`; empty when there are
// fewer fields.
std::u16string GetField(std::u16string_view text, std::u16string_view delimiters, int n);

}  // namespace mossleaf::CHAR
