#include "outline_fuzz_entry.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/document.h"
#include "core/outline_reader.h"
#include "core/outline_writer.h"
#include "outline_fuzz_edits.h"

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

// A folder of this process for the saved files, removed at exit. Shared memory first: a
// save ends with fsync, which costs nothing there.
const std::string& saveFolder() {
    // Never destroyed, so that the clean-up at exit can still name it.
    static const std::string& folder = *new std::string([] {
        std::string pattern;
        for (const char* base :
             {"/dev/shm", const_cast<const char*>(std::getenv("TMPDIR")), "/tmp"}) {
            if (base && ::access(base, W_OK) == 0) {
                pattern = std::string(base) + "/mossleaf-fuzz-XXXXXX";
                break;
            }
        }
        if (pattern.empty() || ::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern;
    }());
    static const bool cleanUp = std::atexit([] {
                                    ::unlink((folder + "/notes.txt").c_str());
                                    ::rmdir(folder.c_str());
                                }) == 0;
    (void)cleanUp;
    return folder;
}

// The code points CP932 holds the characters of input methods under.
std::u16string asCp932Holds(std::u16string text) {
    const std::pair<char16_t, char16_t> held[] = {
        {0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x00AC, 0xFFE2},
        {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x2014, 0x2015}};
    for (char16_t& unit : text) {
        for (const auto& [typed, code] : held) {
            unit = unit == typed ? code : unit;
        }
    }
    return text;
}

// Escaped bytes that together make a UTF-8 character: a UTF-8 file cannot give them back as
// bytes, whatever writes it.
bool escapesMakeACharacter(std::u16string_view text) {
    auto escaped = [&](std::size_t i, unsigned low, unsigned high) {
        return i < text.size() && text[i] >= kEscapedByteBase + low &&
               text[i] <= kEscapedByteBase + high;
    };
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (escaped(i, 0xC2, 0xF4) && escaped(i + 1, 0x80, 0xBF)) {
            return true;
        }
    }
    return false;
}

// What a reader gets back of `written` from `saved`: the same text, as far as its encoding
// can carry it.
bool readsBackAs(std::u16string_view written, std::u16string_view read, TextEncoding saved) {
    if (saved == TextEncoding::Cp932) {
        return asCp932Holds(std::u16string(written)) == read;
    }
    return written == read || escapesMakeACharacter(written);
}

// The edits of the input, saved to a file and opened again.
std::string checkEditedSave(std::string_view bytes) {
    Document doc;
    load(doc, bytes);
    applyFuzzEdits(doc, bytes);
    const std::string path = saveFolder() + "/notes.txt";
    const SaveOutcome outcome = doc.SaveDocument(path);
    if (outcome.status == SaveOutcome::Status::Failed) {
        return "the save failed: " + outcome.reason;
    }
    Document again;
    if (const LoadOutcome opened = again.LoadDocument(path);
        opened.status != LoadOutcome::Status::Loaded && outcome.markerLineKeys.empty()) {
        return "the saved file did not open";
    }

    // A body with a header line splits on opening: the records up to it still match.
    int compared = doc.Nodes.Count();
    for (const std::string& key : outcome.markerLineKeys) {
        const Node* node = doc.Nodes.find(key);
        if (node == nullptr || doc.bodyOf(key).find(u"<**********>") == std::u16string::npos) {
            return "a body without a header line was reported: " + key;
        }
        compared = std::min(compared, node->Index);
    }
    if (outcome.markerLineKeys.empty() ? again.Nodes.Count() != compared
                                       : again.Nodes.Count() < compared) {
        return "another number of records after editing";
    }
    for (int i = 1; i <= compared; ++i) {
        const Node& a = *doc.Nodes(i);
        const Node& b = *again.Nodes(i);
        const std::string record = "record " + std::to_string(i);
        if (parentIndex(a) != parentIndex(b)) {
            return record + " moved in the tree after editing";
        }
        if (!readsBackAs(a.title(), b.title(), doc.Encoding)) {
            return "the title of " + record + " changed after editing";
        }
        if (i < compared || outcome.markerLineKeys.empty()) {
            if (!readsBackAs(doc.bodyOf(a.Key), again.bodyOf(b.Key), doc.Encoding)) {
                return "the body of " + record + " changed after editing";
            }
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
    return checkEditedSave(bytes);
}
