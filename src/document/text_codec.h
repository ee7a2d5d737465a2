#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mossleaf {

// The encodings an outline file is read and written in.
enum class TextEncoding {
    Cp932,    // Shift-JIS with the Microsoft tables (NEC and IBM rows included)
    Utf8,     // UTF-8 without a byte-order mark
    Utf8Bom,  // UTF-8 with a byte-order mark
};

// A byte that is not valid in the file's encoding is decoded as the lone surrogate
// U+DC00 + byte (0x80..0xFF only) and encoded back to that byte, so it survives an edit of
// its text. No input method produces a lone surrogate, so the mapping is unambiguous; a high
// surrogate followed by such a unit is a pair (a character beyond U+FFFF), never an escape.
constexpr char16_t kEscapedByteBase = 0xDC00;

// Given a whole file: a byte-order mark means Utf8Bom; valid UTF-8 with at least one
// multi-byte sequence means Utf8; anything else is Cp932.
TextEncoding detectEncoding(std::string_view fileBytes);

std::u16string decodeText(std::string_view bytes, TextEncoding encoding);

// Appends the encoded text to `out`. Returns false (and leaves `out` as it was) when a
// character cannot be held by the encoding, or when the bytes would read back as another
// text (an escaped lead byte pairing up with the next character); only Cp932 can fail. Characters
// that input methods produce and that CP932 holds under another code point (U+301C, U+2212, U+2016,
// U+00AC, U+00A2, U+00A3, U+2014) are written as that code point.
bool encodeText(std::u16string_view text, TextEncoding encoding, std::string& out);

}  // namespace mossleaf
