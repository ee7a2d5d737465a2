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

// Follows bytes handed over in pieces (a sequence may be split between two) and tells what
// detectEncoding would say of all of them together, byte-order mark aside. Once the bytes
// are known not to be UTF-8, further pieces cost nothing.
class Utf8Validator {
public:
    void feed(std::string_view bytes);
    // Valid UTF-8 so far, no sequence left open at the end.
    bool valid() const { return valid_ && openLength_ == 0; }
    // Utf8 or Cp932, as for a file without a byte-order mark.
    TextEncoding detected() const;

private:
    unsigned char open_[3] = {};  // the start of a sequence the last piece cut off
    int openLength_ = 0;
    bool valid_ = true;
    bool multiByte_ = false;
};

// In UTF-8 the three-byte form of a surrogate (not valid UTF-8, but what encodeText writes
// for a surrogate without a partner) decodes to that unit, except the forms of the escapes,
// which decode as three escaped bytes.
std::u16string decodeText(std::string_view bytes, TextEncoding encoding);

// Appends the encoded text to `out`. Returns false (and leaves `out` as it was) when a
// character cannot be held by the encoding, or when the bytes would read back as another
// text (an escaped lead byte pairing up with the next character); only Cp932 can fail. Characters
// that input methods produce and that CP932 holds under another code point (U+301C, U+2212, U+2016,
// U+00AC, U+00A2, U+00A3, U+2014) are written as that code point.
bool encodeText(std::u16string_view text, TextEncoding encoding, std::string& out);

}  // namespace mossleaf
