#include "core/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "core/outline_format.h"

namespace mossleaf {

namespace {

constexpr char16_t kEscapeFirst = kEscapedByteBase + 0x80;
constexpr char16_t kEscapeLast = kEscapedByteBase + 0xFF;

bool isEscape(char16_t unit) {
    return unit >= kEscapeFirst && unit <= kEscapeLast;
}
bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char16_t escapeByte(unsigned char byte) {
    return static_cast<char16_t>(kEscapedByteBase + byte);
}

constexpr int kCutShort = -1;

// Length of the valid UTF-8 sequence at `p` (1..4); 0 when the bytes there do not start
// one; kCutShort when they start one that `end` cuts off. Surrogates, overlong forms and
// values beyond U+10FFFF are not valid.
int utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char b0 = p[0];
    int length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (b0 < 0x80) {
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) {
            secondLow = 0xA0;  // below: overlong
        } else if (b0 == 0xED) {
            secondHigh = 0x9F;  // above: surrogates
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) {
            secondLow = 0x90;  // below: overlong
        } else if (b0 == 0xF4) {
            secondHigh = 0x8F;  // above: beyond U+10FFFF
        }
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (p + i >= end) {
            return kCutShort;
        }
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (p[i] < low || p[i] > high) {
            return 0;
        }
    }
    return length;
}

// The unit a three-byte surrogate form at `p` stands for, or 0. The writer gives every lone
// surrogate this form, so it reads back as itself; the forms of the escapes themselves
// (ED B2 80..ED B3 BF) are no such unit, since the writer never makes them: they stay
// three escaped bytes, which keeps their bytes.
char16_t surrogateForm(const unsigned char* p, const unsigned char* end) {
    if (end - p < 3 || p[0] != 0xED || p[1] < 0xA0 || p[1] > 0xBF || (p[2] & 0xC0) != 0x80) {
        return 0;
    }
    const auto unit = static_cast<char16_t>(0xD000 | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
    return isEscape(unit) ? 0 : unit;
}

std::u16string decodeUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            out.push_back(*p++);
            continue;
        }
        switch (utf8SequenceLength(p, end)) {
            case 2:
                out.push_back(static_cast<char16_t>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F)));
                p += 2;
                break;
            case 3:
                out.push_back(static_cast<char16_t>(((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) |
                                                    (p[2] & 0x3F)));
                p += 3;
                break;
            case 4: {
                const char32_t cp = ((p[0] & 0x07) << 18) | ((p[1] & 0x3F) << 12) |
                                    ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
                out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
                p += 4;
                break;
            }
            default:
                if (const char16_t unit = surrogateForm(p, end)) {
                    out.push_back(unit);
                    p += 3;
                } else {
                    out.push_back(escapeByte(*p++));
                }
                break;
        }
    }
    return out;
}

// Every unit has a byte form: escapes give their byte back, and surrogates without a
// partner get their three-byte form, which reads back as the same unit.
void encodeUtf8(std::u16string_view text, std::string& out) {
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t unit = text[i];
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else if (isHighSurrogate(static_cast<char16_t>(unit)) && i + 1 < n &&
                   isLowSurrogate(text[i + 1])) {
            // A pair, also when its low half looks like an escape: the four bytes read back
            // as the same two units.
            const char32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
            ++i;
        } else if (isEscape(static_cast<char16_t>(unit))) {
            out.push_back(static_cast<char>(unit - kEscapedByteBase));
        } else {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
}

constexpr const char* kUtf16Name =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Opening a converter is slow; the core runs on one thread, so one of each is kept.
iconv_t cp932Decoder() {
    static const iconv_t cd = iconv_open(kUtf16Name, "CP932");
    return cd;
}

iconv_t cp932Encoder() {
    static const iconv_t cd = iconv_open("CP932", kUtf16Name);
    return cd;
}

bool converterOpen(iconv_t cd) {
    return cd != reinterpret_cast<iconv_t>(-1);
}

std::u16string decodeCp932(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty()) {
        return out;
    }
    const iconv_t cd = cp932Decoder();
    out.resize(bytes.size());  // one byte never gives more than one UTF-16 unit
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* dest = reinterpret_cast<char*>(out.data());
    std::size_t destLeft = out.size() * sizeof(char16_t);
    if (!converterOpen(cd)) {
        // Without the converter only ASCII can be read; every other byte is kept escaped.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            out[i] = b < 0x80 ? b : escapeByte(b);
        }
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &dest, &destLeft) != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno != EILSEQ && errno != EINVAL) {
            break;  // E2BIG cannot happen: the output has room for one unit per byte
        }
        // A byte that starts no valid character is kept as its escape, and reading goes on
        // with the next byte (a broken lead byte's follower may be a character of its own).
        const char16_t escaped = escapeByte(static_cast<unsigned char>(*in));
        std::memcpy(dest, &escaped, sizeof escaped);
        dest += sizeof escaped;
        destLeft -= sizeof escaped;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(out.size() - destLeft / sizeof(char16_t));
    return out;
}

// CP932 holds these under another code point than the one Linux input methods produce.
char16_t cp932Preferred(char16_t unit) {
    switch (unit) {
        case 0x301C:
            return 0xFF5E;  // WAVE DASH -> FULLWIDTH TILDE (0x8160)
        case 0x2212:
            return 0xFF0D;  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS (0x817C)
        case 0x2016:
            return 0x2225;  // DOUBLE VERTICAL LINE -> PARALLEL TO (0x8161)
        case 0x00AC:
            return 0xFFE2;  // NOT SIGN -> FULLWIDTH NOT SIGN (0x81CA)
        case 0x00A2:
            return 0xFFE0;  // CENT SIGN -> FULLWIDTH CENT SIGN (0x8191)
        case 0x00A3:
            return 0xFFE1;  // POUND SIGN -> FULLWIDTH POUND SIGN (0x8192)
        case 0x2014:
            return 0x2015;  // EM DASH -> HORIZONTAL BAR (0x815C)
        default:
            return unit;
    }
}

// Converts a run of text without escapes; false when the converter finds a character that
// CP932 does not hold.
bool convertCp932Run(std::u16string_view run, std::string& out) {
    if (run.empty()) {
        return true;
    }
    const iconv_t cd = cp932Encoder();
    if (!converterOpen(cd)) {
        return false;
    }
    const std::size_t start = out.size();
    out.resize(start + run.size() * 2);  // at most two bytes per UTF-16 unit
    char* in = const_cast<char*>(reinterpret_cast<const char*>(run.data()));
    std::size_t inLeft = run.size() * sizeof(char16_t);
    char* dest = out.data() + start;
    std::size_t destLeft = out.size() - start;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool converted =
        iconv(cd, &in, &inLeft, &dest, &destLeft) != static_cast<std::size_t>(-1) &&
        iconv(cd, nullptr, nullptr, &dest, &destLeft) != static_cast<std::size_t>(-1);
    out.resize(out.size() - destLeft);
    return converted;
}

// Escaped bytes go out as they are, the runs between them through the converter. The
// result must read back as the same text: the converter maps some characters one way only
// (the yen sign to 0x5C, the overline to 0x7E), and an escaped lead byte may pair up with
// the character after it; either would change the text on the next load.
bool encodeCp932(std::u16string_view text, std::string& out) {
    const std::size_t start = out.size();
    std::u16string mapped(text);
    for (char16_t& unit : mapped) {
        unit = cp932Preferred(unit);
    }
    const std::u16string_view view(mapped);
    std::size_t runStart = 0;
    for (std::size_t i = 0; i <= view.size(); ++i) {
        if (i < view.size() && !isEscape(view[i])) {
            continue;
        }
        if (!convertCp932Run(view.substr(runStart, i - runStart), out)) {
            out.resize(start);
            return false;
        }
        if (i < view.size()) {
            out.push_back(static_cast<char>(view[i] - kEscapedByteBase));
        }
        runStart = i + 1;
    }
    if (decodeCp932(std::string_view(out).substr(start)) != view) {
        out.resize(start);
        return false;
    }
    return true;
}

}  // namespace

void Utf8Validator::feed(std::string_view bytes) {
    // An empty piece changes nothing (and its data() may be null, which memcpy must not see).
    if (!valid_ || bytes.empty()) {
        return;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    if (openLength_ > 0) {
        // Finish the sequence the last piece left open with the first bytes of this one.
        unsigned char sequence[4];
        std::memcpy(sequence, open_, openLength_);
        const int added = static_cast<int>(std::min<std::size_t>(4 - openLength_, bytes.size()));
        std::memcpy(sequence + openLength_, p, added);
        const int length = utf8SequenceLength(sequence, sequence + openLength_ + added);
        if (length == 0) {
            valid_ = false;
            return;
        }
        if (length == kCutShort) {
            std::memcpy(open_ + openLength_, p, added);
            openLength_ += added;
            return;
        }
        p += length - openLength_;
        openLength_ = 0;
        multiByte_ = true;
    }
    while (p < end) {
        // Whole words of ASCII at a time: most text is mostly ASCII.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ULL) {
                break;
            }
            p += 8;
        }
        if (p == end) {
            break;
        }
        // Kana and kanji first: three bytes whose second byte has no narrower range.
        const unsigned char b0 = *p;
        if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
            (p[2] & 0xC0) == 0x80) {
            multiByte_ = true;
            p += 3;
            continue;
        }
        if (b0 < 0x80) {
            ++p;
            continue;
        }
        const int length = utf8SequenceLength(p, end);
        if (length == 0) {
            valid_ = false;
            return;
        }
        if (length == kCutShort) {
            openLength_ = static_cast<int>(end - p);
            std::memcpy(open_, p, openLength_);
            return;
        }
        multiByte_ = multiByte_ || length > 1;
        p += length;
    }
}

TextEncoding Utf8Validator::detected() const {
    return valid_ && openLength_ == 0 && multiByte_ ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

TextEncoding detectEncoding(std::string_view fileBytes) {
    if (fileBytes.starts_with(kUtf8Bom)) {
        return TextEncoding::Utf8Bom;
    }
    Utf8Validator validator;
    validator.feed(fileBytes);
    return validator.detected();
}

std::u16string decodeText(std::string_view bytes, TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? decodeCp932(bytes) : decodeUtf8(bytes);
}

bool encodeText(std::u16string_view text, TextEncoding encoding, std::string& out) {
    if (encoding == TextEncoding::Cp932) {
        return encodeCp932(text, out);
    }
    encodeUtf8(text, out);
    return true;
}

}  // namespace mossleaf
