#include "outline_fuzz_edits.h"

#include <string>

using namespace mossleaf;

namespace {

// Hands out the bytes of the script from the last one back; zeros once it is used up.
class Script {
public:
    explicit Script(std::string_view bytes) : bytes_(bytes) {}
    // Mixed with its position, so that the few kinds of byte a text file ends with still
    // ask for every kind of edit.
    unsigned byte() {
        if (bytes_.empty()) {
            return 0;
        }
        const auto b = static_cast<unsigned char>(bytes_.back());
        bytes_.remove_suffix(1);
        return (((b + 1u) * 2654435761u + ++taken_ * 40503u) >> 13) & 0xFF;
    }
    bool done() const { return bytes_.empty(); }

private:
    std::string_view bytes_;
    unsigned taken_ = 0;
};

// Pieces that meet a rule of the writer or the reader somewhere.
// clang-format off
const std::u16string_view kPieces[] = {
    u"a", u"Zz 9", u"\r", u"\n", u"\r\n", u"\u2028", u"\u2029", u"\u6F22", u"\u3042", u"\uFF71",
    u"\uFF83\uFF69", u"\u00E9", u"\U0001F600", u"\uD55C", u"\u00A5", u"\u203E", u"\u00A0",
    u"\u301C", u"\u2212", u"\uFA54", u",", u"\\~", u"<**********>", u"\r\n<**********>",
    u"<**********>,", u"\t", u"\uFEFF", u"\u0085", u"\uFFFD", u"\u2029<**********>, 1 , 0 ,",
};
// Pieces CP932 holds, so that a CP932 file stays one and its records keep their bytes.
const std::u16string_view kCp932Pieces[] = {
    u"a", u"\t", u"\r\n", u"\u6F22", u"\uFF71", u"\u301C", u"\\~", u"\r\n<**********>,",
};
// clang-format on

std::u16string fuzzText(Script& script, bool cp932) {
    std::u16string text;
    const unsigned pieces = script.byte() % 8;
    for (unsigned i = 0; i < pieces; ++i) {
        const unsigned kind = script.byte();
        const auto detail = static_cast<char16_t>(script.byte());
        switch (cp932 ? 10 : kind % 10) {
            case 0:  // an escaped byte, as a note read from a file with a stray byte holds
                text.push_back(static_cast<char16_t>(kEscapedByteBase + 0x80 + detail % 0x80));
                break;
            case 1:  // a high surrogate, alone unless a low one follows
                text.push_back(static_cast<char16_t>(0xD800 + detail * 4));
                break;
            case 2:  // a low surrogate outside the escapes
                text.push_back(
                    static_cast<char16_t>(detail < 0x80 ? 0xDC00 + detail : 0xDD00 + detail * 3));
                break;
            case 3:  // a C0 or C1 control, NUL and DEL included
                text.push_back(static_cast<char16_t>(detail < 0x40   ? detail % 0x20
                                                     : detail < 0x60 ? 0x7F
                                                                     : 0x80 + detail % 0x20));
                break;
            case 4:  // a long run of a piece, rarely: long bodies cost time
                for (int n = kind < 0xF0 ? 1 : 64 * (detail + 1); n > 0; --n) {
                    text.append(kPieces[detail % std::size(kPieces)]);
                }
                break;
            case 10:
                text.append(kCp932Pieces[kind % std::size(kCp932Pieces)]);
                break;
            default:
                text.append(kPieces[(kind / 10) % std::size(kPieces)]);
                break;
        }
    }
    return text;
}

}  // namespace

std::vector<std::string> applyFuzzEdits(Document& doc, std::string_view bytes) {
    std::vector<std::string> edited;
    Script script(bytes);
    const unsigned edits = 1 + script.byte() % 20;
    const bool cp932 = script.byte() % 2 == 0;
    for (unsigned i = 0; i < edits && !script.done(); ++i) {
        const unsigned what = script.byte();
        const int count = doc.Nodes.Count();
        const int index = count > 0 ? 1 + static_cast<int>(script.byte() % count) : 0;
        const Node* node = doc.Nodes(index);
        switch (what % 8) {
            case 0:
            case 1:  // 新規作成 under the current node, or at the root level
                doc.CurrentKey = node && what % 16 < 8 ? node->Key : std::string();
                if (const Node* added = doc.AddNode(fuzzText(script, cp932))) {
                    edited.push_back(added->Key);
                }
                break;
            case 2:
            case 3:  // 名前変更
                doc.CurrentIndex = static_cast<std::int16_t>(index);
                doc.RenameNode(fuzzText(script, cp932));
                if (node) {
                    edited.push_back(node->Key);
                }
                break;
            case 7:  // 削除
                doc.Nodes.Remove(index);
                break;
            default:  // a body committed
                if (node) {
                    doc.StoreBody(node->Key, fuzzText(script, cp932));
                    edited.push_back(node->Key);
                }
                break;
        }
    }
    return edited;
}
