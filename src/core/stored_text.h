#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_codec.h"

namespace mossleaf {

// A title or body. While it is unchanged it keeps the bytes it was read from, so a file
// saved again without edits gives back the same bytes and loading never decodes a body
// that nobody looks at. The text is decoded on first use.
class StoredText {
public:
    StoredText() = default;
    explicit StoredText(std::u16string text);

    // `bytes` lies inside `buffer`, which is kept alive. Line ends in it may be CR LF, lone
    // LF or lone CR; the text always has CR LF between lines.
    static StoredText fromBytes(std::shared_ptr<const std::string> buffer, std::string_view bytes,
                                TextEncoding encoding);
    // The same, for a reader that already knows whether every line end in `bytes` is CR LF.
    static StoredText fromBytes(std::shared_ptr<const std::string> buffer, std::string_view bytes,
                                TextEncoding encoding, bool lineEndsAreCrLf);

    const std::u16string& text() const;
    bool empty() const;

    // Replaces the text. When the new text equals the current one, the original bytes stay.
    void assign(std::u16string text);

    bool hasOriginalBytes() const { return buffer_ != nullptr; }

    // Appends the text in `encoding` (line ends CR LF): the original bytes when they are in
    // that encoding, else the encoded text. False when a character cannot be held.
    bool appendEncoded(TextEncoding encoding, std::string& out) const;

    // The original bytes when they can be written as they are in `encoding` (same encoding,
    // every line end CR LF); nothing otherwise. Lets a writer pass large bodies on uncopied.
    std::optional<std::string_view> writableBytes(TextEncoding encoding) const;

private:
    std::shared_ptr<const std::string> buffer_;  // null once the text was changed
    std::string_view bytes_;
    TextEncoding encoding_ = TextEncoding::Cp932;
    // Whether every line end in bytes_ is CR LF; found out on first need, so that opening
    // a file does not sweep bodies nobody shows or saves.
    bool crlfOnly() const;
    mutable bool crlfOnly_ = true;
    mutable bool crlfKnown_ = true;
    mutable std::u16string text_;
    mutable bool decoded_ = true;
};

}  // namespace mossleaf
