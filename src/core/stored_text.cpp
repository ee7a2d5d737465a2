#include "core/stored_text.h"

#include <algorithm>
#include <cstddef>

namespace mossleaf {

namespace {

// UTF-8 with and without a byte-order mark hold the same bytes for a text.
bool sameBytes(TextEncoding a, TextEncoding b) {
    return (a == TextEncoding::Cp932) == (b == TextEncoding::Cp932);
}

// Every CR must have an LF after it and every LF a CR before it, so each pair of neighbouring
// bytes is compared. The blocks have no branch inside, which lets the compiler use vector
// instructions: this runs for every body of a file saved unchanged.
bool lineEndsAreCrLf(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    if (n == 0) {
        return true;
    }
    if (p[0] == '\n' || p[n - 1] == '\r') {
        return false;
    }
    constexpr std::size_t kBlock = 4096;
    for (std::size_t start = 0; start + 1 < n; start += kBlock) {
        const std::size_t stop = std::min(n - 1, start + kBlock);
        unsigned char mismatch = 0;
        for (std::size_t i = start; i < stop; ++i) {
            mismatch |= static_cast<unsigned char>((p[i] == '\r') ^ (p[i + 1] == '\n'));
        }
        if (mismatch != 0) {
            return false;
        }
    }
    return true;
}

// Every line end (CR LF, lone CR, lone LF) becomes CR LF. 0x0D and 0x0A are never part of a
// multi-byte character in the encodings we read, so this works on the bytes.
void appendWithCrLf(std::string_view bytes, std::string& out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out.push_back(c);
        }
    }
}

}  // namespace

StoredText::StoredText(std::u16string text) : text_(std::move(text)) {}

StoredText StoredText::fromBytes(std::shared_ptr<const std::string> buffer, std::string_view bytes,
                                 TextEncoding encoding) {
    StoredText stored = fromBytes(std::move(buffer), bytes, encoding, true);
    stored.crlfKnown_ = false;
    return stored;
}

bool StoredText::crlfOnly() const {
    if (!crlfKnown_) {
        crlfOnly_ = lineEndsAreCrLf(bytes_);
        crlfKnown_ = true;
    }
    return crlfOnly_;
}

StoredText StoredText::fromBytes(std::shared_ptr<const std::string> buffer, std::string_view bytes,
                                 TextEncoding encoding, bool lineEndsAreCrLf) {
    StoredText stored;
    stored.buffer_ = std::move(buffer);
    stored.bytes_ = bytes;
    stored.encoding_ = encoding;
    stored.crlfOnly_ = lineEndsAreCrLf;
    stored.decoded_ = bytes.empty();
    return stored;
}

const std::u16string& StoredText::text() const {
    if (!decoded_) {
        if (crlfOnly()) {
            text_ = decodeText(bytes_, encoding_);
        } else {
            std::string normalized;
            normalized.reserve(bytes_.size() + bytes_.size() / 16);
            appendWithCrLf(bytes_, normalized);
            text_ = decodeText(normalized, encoding_);
        }
        decoded_ = true;
    }
    return text_;
}

bool StoredText::empty() const {
    return decoded_ ? text_.empty() : bytes_.empty();
}

void StoredText::assign(std::u16string text) {
    if (buffer_ && text == this->text()) {
        return;
    }
    text_ = std::move(text);
    decoded_ = true;
    buffer_.reset();
    bytes_ = {};
    crlfOnly_ = true;
    crlfKnown_ = true;
}

bool StoredText::appendEncoded(TextEncoding encoding, std::string& out) const {
    if (buffer_ && sameBytes(encoding, encoding_)) {
        if (crlfOnly()) {
            out.append(bytes_);
        } else {
            appendWithCrLf(bytes_, out);
        }
        return true;
    }
    return encodeText(text(), encoding, out);
}

std::optional<std::string_view> StoredText::writableBytes(TextEncoding encoding) const {
    if (buffer_ && sameBytes(encoding, encoding_) && crlfOnly()) {
        return bytes_;
    }
    return std::nullopt;
}

}  // namespace mossleaf
