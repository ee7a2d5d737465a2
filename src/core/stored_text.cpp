#include "core/stored_text.h"

#include <cstring>

namespace mossleaf {

namespace {

// UTF-8 with and without a byte-order mark hold the same bytes for a text.
bool sameBytes(TextEncoding a, TextEncoding b) {
    return (a == TextEncoding::Cp932) == (b == TextEncoding::Cp932);
}

bool lineEndsAreCrLf(std::string_view bytes) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const void* found = std::memchr(p, '\n', end - p);
        const char* lf = found ? static_cast<const char*>(found) : end;
        // Between two LFs (or before the first) only a CR right before the LF may stand.
        const char* limit = lf < end ? lf - 1 : end;
        if (limit > p && std::memchr(p, '\r', limit - p)) {
            return false;
        }
        if (lf == end) {
            return true;
        }
        if (lf == bytes.data() || lf[-1] != '\r') {
            return false;
        }
        p = lf + 1;
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
