#include "core/outline_writer.h"

#include <charconv>

#include "core/outline_format.h"

namespace mossleaf {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kFirstReserve = 64 << 10;
// Bodies at least this long that can go out as they were read skip the chunk buffer.
constexpr std::size_t kDirectWrite = 64 << 10;

// Collects small pieces and hands them to the sink in large chunks.
class ChunkWriter {
public:
    // The buffer grows to a chunk as it fills: a small notebook never asks for a megabyte.
    explicit ChunkWriter(ByteSink& sink) : sink_(sink) { buffer_.reserve(kFirstReserve); }

    std::string& buffer() { return buffer_; }

    bool flushIfFull() { return buffer_.size() < kChunk || flush(); }

    bool flush() {
        if (buffer_.empty()) {
            return true;
        }
        const bool ok = sink_.write(buffer_);
        buffer_.clear();
        return ok;
    }

    bool writeDirect(std::string_view bytes) { return flush() && sink_.write(bytes); }

private:
    ByteSink& sink_;
    std::string buffer_;
};

// A number with the blanks of a printed number around it: " 12 ".
void appendNumberField(int number, std::string& out) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.push_back(' ');
    out.append(digits, result.ptr);
    out.push_back(' ');
}

const StoredText& bodyStore(const Document& doc, const Node& node) {
    static const StoredText empty;
    const int slot = NodeNumberOf(node.Key);
    return slot >= 0 && slot < Document::kBodySlots ? doc.BodyTable[slot] : empty;
}

}  // namespace

WriteStatus writeOutline(const Document& doc, TextEncoding encoding, ByteSink& sink) {
    ChunkWriter writer(sink);
    std::string& out = writer.buffer();
    if (encoding == TextEncoding::Utf8Bom) {
        out += kUtf8Bom;
    }
    const int count = doc.Nodes.Count();
    for (int i = 1; i <= count; ++i) {
        const Node& node = *doc.Nodes(i);
        out.append(kRecordMarker);
        out.push_back(',');
        appendNumberField(i, out);
        out.push_back(',');
        appendNumberField(node.Parent ? node.Parent->Index : 0, out);
        out.push_back(',');
        if (!node.Text.appendEncoded(encoding, out)) {
            return WriteStatus::CannotHold;
        }
        out += "\r\n";
        const StoredText& body = bodyStore(doc, node);
        const auto raw = body.writableBytes(encoding);
        if (raw && raw->size() >= kDirectWrite) {
            if (!writer.writeDirect(*raw)) {
                return WriteStatus::Failed;
            }
        } else if (!body.appendEncoded(encoding, out)) {
            return WriteStatus::CannotHold;
        }
        out += "\r\n";
        if (!writer.flushIfFull()) {
            return WriteStatus::Failed;
        }
    }
    return writer.flush() ? WriteStatus::Written : WriteStatus::Failed;
}

}  // namespace mossleaf
