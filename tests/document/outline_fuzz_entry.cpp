#include "outline_fuzz_entry.h"

#include <memory>

#include "document/document.h"
#include "document/outline_reader.h"
#include "document/outline_writer.h"

using namespace mossleaf;

namespace {

void load(Document& doc, std::string_view bytes) {
    loadOutline(doc, std::make_shared<const std::string>(bytes), "fuzz.txt");
}

// The save's choice of encoding, on a string: the Document's encoding, or UTF-8 with a
// byte-order mark when that cannot hold a character.
std::string save(const Document& doc, bool* fellBack = nullptr) {
    StringSink sink;
    if (writeOutline(doc, doc.Encoding, sink) == WriteStatus::Written) {
        return sink.bytes();
    }
    StringSink utf8;
    writeOutline(doc, TextEncoding::Utf8Bom, utf8);
    if (fellBack) {
        *fellBack = true;
    }
    return utf8.bytes();
}

int parentIndex(const Node& node) {
    return node.Parent ? node.Parent->Index : 0;
}

bool everyLineEndIsCrLf(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
            return false;
        }
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

// Compares the trees, and the texts too when `texts` is set.
std::string compare(const Document& before, const Document& after, bool texts) {
    if (before.Nodes.Count() != after.Nodes.Count()) {
        return "another number of records";
    }
    for (int i = 1; i <= after.Nodes.Count(); ++i) {
        const Node& a = *before.Nodes(i);
        const Node& b = *after.Nodes(i);
        if (parentIndex(a) != parentIndex(b)) {
            return "record " + std::to_string(i) + " moved in the tree";
        }
        if (texts && a.title() != b.title()) {
            return "title " + std::to_string(i) + " changed";
        }
        if (texts && before.bodyOf(a.Key) != after.bodyOf(b.Key)) {
            return "body " + std::to_string(i) + " changed";
        }
    }
    return {};
}

}  // namespace

std::string checkOutlineRoundTrip(std::string_view bytes) {
    Document first;
    load(first, bytes);
    const std::string saved = save(first);
    if (!everyLineEndIsCrLf(saved)) {
        return "the saved file has a line end other than CR LF";
    }

    // Header fields the writer does not keep may have decided the encoding of the original.
    Document second;
    load(second, saved);
    if (std::string failure = compare(first, second, second.Encoding == first.Encoding);
        !failure.empty()) {
        return "saved and loaded: " + failure;
    }
    if (save(second) != saved) {
        return "saving the saved file again gave other bytes";
    }

    // Everything written from text instead of kept bytes.
    for (int i = 1; i <= second.Nodes.Count(); ++i) {
        second.Nodes.setText(i, StoredText(second.Nodes(i)->title()));
        StoredText& body = second.BodyTable[NodeNumberOf(second.Nodes(i)->Key)];
        body = StoredText(body.text());
    }
    bool fellBack = false;
    const std::string encoded = save(second, &fellBack);
    if (!everyLineEndIsCrLf(encoded)) {
        return "the re-encoded file has a line end other than CR LF";
    }
    Document third;
    load(third, encoded);
    // After a fall-back to UTF-8, escaped CP932 bytes may read differently; the bytes stay.
    if (std::string failure = compare(second, third, !fellBack); !failure.empty()) {
        return "encoded again: " + failure;
    }
    return {};
}
