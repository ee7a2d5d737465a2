#include "outline_fuzz_entry.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "core/document.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"
#include "outline_fuzz_edits.h"

using namespace mossleaf;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kMarker = "<**********>";

// Files of the user beside the notes whose names only look like a save's leftovers: a
// backup, copies, rsync's temporary name. Empty or starting like an outline, as copies of
// notes do.
const std::pair<const char*, std::string_view> kNeighbours[] = {
    {".notes.txt.backup", "<**********>, 1 , 0 ,copy\r\nold\r\n"},
    {".notes.txt.261207", ""},
    {".notes.txt.Copy01", "\xEF\xBB\xBF<**********>, 1 , 0 ,A\r\n\r\n"},
    {".notes.txt.AbC123", "<**********>, 1 , 0 ,par"},
};

bool withNeighbours() {
    static const bool with = [] {
        const char* skip = std::getenv("MOSSLEAF_FUZZ_SKIP_LEFTOVERS");
        return !skip || std::string_view(skip) != "1";
    }();
    return with;
}

// A folder of this process for the saved files, removed at exit. Shared memory first: a
// save ends with fsync, which costs nothing there.
const std::string& saveFolder() {
    // Never destroyed, so that the clean-up at exit can still name it.
    static const std::string& folder = *new std::string([] {
        std::string pattern =
            (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : fs::temp_directory_path().string()) +
            "/mossleaf-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        for (const auto& [name, bytes] : kNeighbours) {
            if (withNeighbours()) {
                std::ofstream(pattern + "/" + name, std::ios::binary) << bytes;
            }
        }
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(saveFolder(), ignored);
        });
        return pattern;
    }());
    return folder;
}

std::string readFile(const std::string& path) {
    std::string reason;
    const auto bytes = readWholeFile(path, reason);
    return bytes ? *bytes : "(" + reason + ")";
}

// Calls `line` for each line as the reader splits them: at CR LF, a lone CR or a lone LF.
template <typename Char, typename Line>
void forEachLine(std::basic_string_view<Char> text, Line line) {
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
            ++end;
        }
        line(text.substr(start, end - start));
        const bool crLf = end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n';
        start = end + (crLf ? 2 : 1);
    }
}

template <typename Char>
bool isHeaderLine(std::basic_string_view<Char> line) {
    return line.size() >= kMarker.size() &&
           std::equal(kMarker.begin(), kMarker.end(), line.begin()) &&
           (line.size() == kMarker.size() || line[kMarker.size()] == ',');
}

// A file as Mossleaf writes it: records numbered 1, 2, 3 with one blank around each number,
// a parent of 0 or an earlier record, every record with a body line, every line ended by
// CR LF, and no more records than a Document holds.
bool inOwnLayout(std::string_view bytes) {
    if (bytes.starts_with(kBom)) {
        bytes.remove_prefix(kBom.size());
    }
    int record = 0;
    bool bodyLine = true;
    for (std::size_t end = 0; !bytes.empty(); bytes.remove_prefix(end + 2)) {
        end = bytes.find("\r\n");
        std::string_view line = bytes.substr(0, end);
        if (end == std::string_view::npos || line.find_first_of("\r\n") != std::string_view::npos) {
            return false;
        }
        if (!isHeaderLine(line)) {
            bodyLine = record > 0;
            continue;
        }
        const std::string start = std::string(kMarker) + ", " + std::to_string(++record) + " , ";
        if (!bodyLine || record > Document::kMaxRecords || !line.starts_with(start)) {
            return false;
        }
        line.remove_prefix(start.size());
        const std::size_t digits = line.find(" ,");
        const std::string_view parent = line.substr(0, digits);
        if (digits == std::string_view::npos || parent.empty() || parent.size() > 3 ||
            parent.find_first_not_of("0123456789") != std::string_view::npos ||
            (parent.size() > 1 && parent[0] == '0') || std::stoi(std::string(parent)) >= record) {
            return false;
        }
        bodyLine = false;
    }
    return bodyLine;
}

// The title and body bytes of each record, line ends made CR LF as a save writes them.
struct RecordBytes {
    std::string_view title;
    std::string body;
    bool hasLine = false;
};

std::vector<RecordBytes> recordsOf(std::string_view bytes) {
    if (bytes.starts_with(kBom)) {
        bytes.remove_prefix(kBom.size());
    }
    std::vector<RecordBytes> records;
    forEachLine(bytes, [&](std::string_view line) {
        if (isHeaderLine(line)) {
            // The title follows the third comma.
            std::size_t comma = kMarker.size();
            for (int i = 0; i < 2 && comma != std::string_view::npos; ++i) {
                comma = line.find(',', comma + 1);
            }
            records.emplace_back().title =
                comma == std::string_view::npos ? std::string_view() : line.substr(comma + 1);
        } else if (!records.empty()) {
            RecordBytes& record = records.back();
            record.body.append(record.hasLine ? "\r\n" : "").append(line);
            record.hasLine = true;
        }
    });
    return records;
}

// Where the records of `doc` are once its file is opened again: a body with header lines
// opens a record for each, and the records after it move down.
struct Opened {
    std::vector<int> at{0};  // at[i]: the record that the node at Index i becomes
    std::vector<std::string> splitKeys;
    std::vector<std::u16string> bodies;  // each body up to its first header line
};

Opened whenOpened(const Document& doc) {
    Opened opened;
    int extra = 0;
    for (int i = 1; i <= doc.Nodes.Count(); ++i) {
        opened.at.push_back(i + extra);
        const std::u16string& body = doc.bodyOf(doc.Nodes(i)->Key);
        std::size_t first = std::u16string::npos;
        forEachLine(std::u16string_view(body), [&](std::u16string_view line) {
            if (isHeaderLine(line)) {
                first = std::min<std::size_t>(first, line.data() - body.data());
                ++extra;
            }
        });
        // Bodies have CR LF between lines: the one before the header line goes too.
        opened.bodies.push_back(
            first == std::u16string::npos ? body : body.substr(0, first ? first - 2 : 0));
        if (first != std::u16string::npos) {
            opened.splitKeys.push_back(doc.Nodes(i)->Key);
        }
    }
    opened.at.push_back(doc.Nodes.Count() + 1 + extra);  // where the file ends
    return opened;
}

int parentIndex(const Node& node) {
    return node.Parent ? node.Parent->Index : 0;
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

void load(Document& doc, std::string_view bytes) {
    loadOutline(doc, std::make_shared<const std::string>(bytes), "fuzz.txt");
}

struct Saved {
    std::string bytes;
    TextEncoding encoding = TextEncoding::Cp932;  // the one the file was written in
};

// The product's save to notes.txt in the folder, and what it wrote. Empty when all holds,
// otherwise what went wrong.
std::string save(Document& doc, Saved& saved) {
    const TextEncoding before = doc.encoding;
    const SaveOutcome outcome = SaveDocument(doc, saveFolder() + "/notes.txt");
    if (outcome.status == SaveOutcome::Status::Failed) {
        return "the save failed: " + outcome.reason;
    }
    saved.encoding = doc.encoding;
    saved.bytes = readFile(saveFolder() + "/notes.txt");
    if ((before == TextEncoding::Cp932 && saved.encoding != before) !=
        (outcome.status == SaveOutcome::Status::SavedAsUtf8)) {
        return "the save kept quiet about a change of encoding, or told of none";
    }
    if (saved.bytes.starts_with(kBom) != (saved.encoding == TextEncoding::Utf8Bom)) {
        return "the byte-order mark does not match the encoding";
    }
    const std::string_view lines =
        std::string_view(saved.bytes)
            .substr(saved.encoding == TextEncoding::Utf8Bom ? kBom.size() : 0);
    for (std::size_t i = lines.find_first_of("\r\n"); i != std::string_view::npos;
         i = lines.find_first_of("\r\n", i + 2)) {
        if (lines.substr(i, 2) != "\r\n") {
            return "a line end other than CR LF";
        }
    }
    if (!lines.empty() && !lines.ends_with("\r\n")) {
        return "the last line has no CR LF";
    }
    if (outcome.markerLineKeys != whenOpened(doc).splitKeys) {
        return "the bodies with header lines were not reported as they are";
    }
    return {};
}

// What the saves left in the folder or took from it, looked at once after all of them.
std::string folderAfterSaves() {
    std::set<std::string> expected{"notes.txt"};
    for (const auto& [name, bytes] : kNeighbours) {
        if (withNeighbours() && readFile(saveFolder() + "/" + name) != bytes) {
            return std::string("the save removed or changed the user's ") + name;
        }
        expected.insert(name);
    }
    for (const auto& entry : fs::directory_iterator(saveFolder())) {
        if (!expected.contains(entry.path().filename().string())) {
            return "the save left " + entry.path().filename().string() + " behind";
        }
    }
    return {};
}

// The Document opened from what `doc` was saved as: its tree and texts, as far as the saved
// encoding holds them, with the records after a body with header lines moved down.
std::string compareOpened(const Document& doc, const Saved& saved, Document& again) {
    load(again, saved.bytes);
    const Opened opened = whenOpened(doc);
    if (again.Nodes.Count() != std::min(opened.at.back() - 1, int(Document::kMaxRecords))) {
        return "another number of records";
    }
    for (int i = 1; i <= doc.Nodes.Count() && opened.at[i] <= again.Nodes.Count(); ++i) {
        const Node& a = *doc.Nodes(i);
        const Node& b = *again.Nodes(opened.at[i]);
        const std::string record = "record " + std::to_string(i);
        // The number written is the one read, whether the parent is still at it or not.
        if (parentIndex(a) != parentIndex(b)) {
            return record + " moved in the tree";
        }
        if (!readsBackAs(a.title(), b.title(), saved.encoding)) {
            return "the title of " + record + " changed";
        }
        if (!readsBackAs(opened.bodies[i - 1], again.bodyOf(b.Key), saved.encoding)) {
            return "the body of " + record + " changed";
        }
    }
    return {};
}

// The edits of the input, saved and opened again; the records no edit touched keep their
// bytes unless the encoding changed between CP932 and UTF-8.
std::string checkEditedSave(std::string_view bytes) {
    Document doc;
    load(doc, bytes);
    const TextEncoding read = doc.encoding;
    const std::vector<std::string> edits = applyFuzzEdits(doc, bytes);
    const std::set<std::string> edited(edits.begin(), edits.end());
    Saved saved;
    Document again;
    if (std::string failure = save(doc, saved); !failure.empty()) {
        return "saving the edits: " + failure;
    }
    if (std::string failure = compareOpened(doc, saved, again); !failure.empty()) {
        return "edited: " + failure;
    }
    if ((read == TextEncoding::Cp932) != (saved.encoding == TextEncoding::Cp932)) {
        return {};
    }
    const std::vector<RecordBytes> before = recordsOf(bytes);
    const std::vector<RecordBytes> after = recordsOf(saved.bytes);
    const std::vector<int> at = whenOpened(doc).at;
    for (int i = 1; i <= doc.Nodes.Count(); ++i) {
        const std::string& key = doc.Nodes(i)->Key;
        const int k = NodeNumberOf(key);
        if (edited.contains(key) || k < 1 || k > int(before.size())) {
            continue;
        }
        const RecordBytes& was = before[k - 1];
        const RecordBytes& is = after[at[i] - 1];
        if (was.title != is.title || was.body != is.body) {
            return "record " + std::to_string(i) + ", not edited, has other bytes";
        }
    }
    return {};
}

}  // namespace

std::string checkOutlineRoundTrip(std::string_view bytes) {
    Document first;
    Document second;
    Saved a;
    load(first, bytes);
    if (std::string failure = save(first, a); !failure.empty()) {
        return "saving the file: " + failure;
    }
    if (a.bytes != bytes && inOwnLayout(bytes)) {
        return "a file in Mossleaf's layout came back with other bytes";
    }
    if (std::string failure = compareOpened(first, a, second); !failure.empty()) {
        return "saved and opened: " + failure;
    }
    Saved b;
    if (std::string failure = save(second, b); !failure.empty() || b.bytes != a.bytes) {
        return "saving the saved file again gave other bytes " + failure;
    }

    // Everything written from text instead of kept bytes.
    for (int i = 1; i <= second.Nodes.Count(); ++i) {
        second.Nodes.setText(i, StoredText(second.Nodes(i)->title()));
        StoredText& body = second.BodyTable[NodeNumberOf(second.Nodes(i)->Key)];
        body = StoredText(body.text());
    }
    Saved c;
    Document third;
    if (std::string failure = save(second, c); !failure.empty()) {
        return "saving the texts: " + failure;
    }
    if (std::string failure = compareOpened(second, c, third); !failure.empty()) {
        return "encoded again: " + failure;
    }
    if (std::string failure = checkEditedSave(bytes); !failure.empty()) {
        return failure;
    }
    return folderAfterSaves();
}
