#include "core/outline_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

#include "core/file_fingerprint.h"
#include "core/number_text.h"
#include "core/outline_format.h"

namespace mossleaf {

namespace {

struct Line {
    const char* begin;
    const char* end;  // end of the text, before the line end
    int endLength;    // 2 for CR LF, 1 for a lone CR or LF, 0 at the end of the buffer
};

// The line that starts at `begin`. Header lines are short, so a byte loop finds their end
// sooner than a library sweep would.
Line lineAt(const char* begin, const char* end) {
    const char* eol = begin;
    while (eol < end && *eol != '\r' && *eol != '\n') {
        ++eol;
    }
    int endLength = 0;
    if (eol < end) {
        endLength = *eol == '\r' && eol + 1 < end && eol[1] == '\n' ? 2 : 1;
    }
    return {begin, eol, endLength};
}

// A header line starts at `p`: the marker, then a comma or the end of the line.
bool startsHeader(const char* p, const char* end) {
    const std::size_t n = kRecordMarker.size();
    if (static_cast<std::size_t>(end - p) < n || std::memcmp(p, kRecordMarker.data(), n) != 0) {
        return false;
    }
    const char* after = p + n;
    return after == end || *after == ',' || *after == '\r' || *after == '\n';
}

// The start of the next header line at or after `from`, or `end`. `from` is a line start,
// and so is any byte after a CR or an LF: the lines between headers are never split, only
// the markers searched for, which are rare inside bodies.
const char* nextHeader(const char* from, const char* end) {
    for (const char* p = from; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, kRecordMarker.front(), end - p));
        if (p == nullptr) {
            break;
        }
        if ((p == from || p[-1] == '\n' || p[-1] == '\r') && startsHeader(p, end)) {
            return p;
        }
    }
    return end;
}

// The text of the lines in [begin, end), which end at a line start or at the end of the
// buffer: without the last line's end. Null when there is no line at all.
const char* linesTextEnd(const char* begin, const char* end) {
    if (end == begin) {
        return nullptr;
    }
    if (end[-1] == '\n') {
        return end - 2 >= begin && end[-2] == '\r' ? end - 2 : end - 1;
    }
    return end[-1] == '\r' ? end - 1 : end;
}

bool isHeader(const Line& line) {
    return startsHeader(line.begin, line.end);
}

// The fields of a header line: marker, record number, parent number, title. The title is
// everything after the third comma, commas and quotes included.
struct Header {
    std::string_view parentField;
    std::string_view title;
};

Header splitHeader(const Line& line) {
    std::string_view rest(line.begin, line.end - line.begin);
    Header header;
    if (rest.size() == kRecordMarker.size()) {
        return header;
    }
    rest.remove_prefix(kRecordMarker.size() + 1);  // the marker and its comma
    const std::size_t afterNumber = rest.find(',');
    if (afterNumber == std::string_view::npos) {
        return header;
    }
    rest.remove_prefix(afterNumber + 1);
    const std::size_t afterParent = rest.find(',');
    header.parentField = rest.substr(0, afterParent);
    if (afterParent != std::string_view::npos) {
        header.title = rest.substr(afterParent + 1);
    }
    return header;
}

// The record a parent number names, or 0 (the root level) when it names no earlier record.
int parentRecord(std::string_view field, int record) {
    const std::optional<std::int16_t> number = readInt16Number(field);
    return number && *number >= 1 && *number < record ? *number : 0;
}

// Lets a large fresh buffer be backed by huge pages where the system allows it: faulting in
// (and zeroing) its small pages one by one costs more than reading the file into it. Must
// run before the buffer is first touched.
void preferHugePages(std::string& buffer, std::size_t size) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (size < 4 * kHugePage) {
        return;
    }
    buffer.reserve(size);
    const auto first = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t begin = (first + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (first + size) & ~(kHugePage - 1);
    if (end > begin) {
        // Only advice: where it is refused the buffer works as before.
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
}

// Moves a Document just read into `doc`: what loadOutline sets; the rest (the current node,
// the slots past the last record) stays as a load into `doc` itself would have left it.
void takeLoaded(Document& doc, Document& loaded) {
    doc.Nodes.replaceWith(loaded.Nodes);
    for (int slot = 1; slot < loaded.NodeCounter && slot < Document::kBodySlots; ++slot) {
        doc.BodyTable[slot] = std::move(loaded.BodyTable[slot]);
    }
    doc.NodeCounter = loaded.NodeCounter;
    doc.CurrentFileName.swap(loaded.CurrentFileName);
    doc.encoding = loaded.encoding;
}

}  // namespace

std::shared_ptr<const std::string> readWholeFile(const std::string& path, std::string& reason,
                                                 struct stat* opened) {
    // Non-blocking, so that naming a pipe cannot hang the window in open(); only regular
    // files are read, and for them the flag changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        reason = std::strerror(errno);
        return nullptr;
    }
    auto fail = [&](int error) {
        reason = std::strerror(error);
        ::close(fd);
        return nullptr;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return fail(errno);
    }
    if (opened != nullptr) {
        *opened = info;
    }
    if (S_ISDIR(info.st_mode)) {
        return fail(EISDIR);
    }
    if (!S_ISREG(info.st_mode)) {
        return fail(EINVAL);  // a pipe or a device would block or never end
    }
    auto bytes = std::make_shared<std::string>();
    // The size is a hint only: the file may change while it is read, and some files
    // (/proc) report none.
    std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 65536;
    std::size_t used = 0;
    for (;;) {
        if (used == bytes->size()) {
            try {
                if (used == 0) {
                    preferHugePages(*bytes, capacity);
                }
                bytes->resize(used == 0 ? capacity : bytes->size() * 2);
            } catch (const std::exception&) {
                return fail(ENOMEM);  // a file larger than memory is reported, not fatal
            }
        }
        const ssize_t got = ::read(fd, bytes->data() + used, bytes->size() - used);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes->resize(used);
    return bytes;
}

LoadOutcome loadOutline(Document& doc, std::shared_ptr<const std::string> bytes,
                        const std::string& path) {
    doc.ClearDocument();
    doc.CurrentFileName = path;
    doc.NodeCounter = 1;
    doc.encoding = detectEncoding(*bytes);

    std::string_view content(*bytes);
    if (content.starts_with(kUtf8Bom)) {
        content.remove_prefix(kUtf8Bom.size());
    }
    const char* const end = content.data() + content.size();
    if (content.empty()) {
        return {};  // an empty file is an empty Document
    }
    Line line = lineAt(content.data(), end);
    if (!isHeader(line)) {
        doc.CurrentFileName.clear();
        doc.encoding = TextEncoding::Cp932;
        return {LoadOutcome::Status::NotOutline, {}};
    }

    const TextEncoding encoding = doc.encoding;
    LoadOutcome outcome;
    for (int record = 1;; ++record) {
        const Header header = splitHeader(line);
        const char* bodyBegin = line.end + line.endLength;
        const char* next = nextHeader(bodyBegin, end);
        const char* bodyEnd = linesTextEnd(bodyBegin, next);

        const int parent = parentRecord(header.parentField, record);
        StoredText title = StoredText::fromBytes(bytes, header.title, encoding, true);
        title.text();  // titles are shown at once: decode them now
        const std::string key = nodeKey(doc.NodeCounter);
        if (parent == 0) {
            doc.Nodes.Add(key, std::move(title));
        } else {
            doc.Nodes.Add(nodeKey(parent), Relationship::Child, key, std::move(title));
        }
        const std::string_view body =
            bodyEnd ? std::string_view(bodyBegin, bodyEnd - bodyBegin) : std::string_view();
        // Whether the body's line ends are all CR LF is found out when it is first shown or
        // saved; the end of its last line is not part of it.
        doc.BodyTable[record] = StoredText::fromBytes(bytes, body, encoding);
        ++doc.NodeCounter;

        if (next == end) {
            return outcome;
        }
        if (record == Document::kMaxRecords) {
            outcome.status = LoadOutcome::Status::TooManyRecords;
            doc.CurrentFileName.clear();
            return outcome;
        }
        line = lineAt(next, end);
    }
}

PreparedLoad prepareLoad(const std::string& path) {
    try {
        std::string reason;
        struct stat opened {};
        std::shared_ptr<const std::string> bytes = readWholeFile(path, reason, &opened);
        if (!bytes) {
            const bool special =
                opened.st_mode != 0 && !S_ISREG(opened.st_mode) && !S_ISDIR(opened.st_mode);
            return {{LoadOutcome::Status::CannotOpen, reason, special}, nullptr};
        }
        // Read into a Document of its own first: running out of memory halfway (a title of
        // a gigabyte) must leave the one shown as it was.
        auto loaded = std::make_unique<Document>();
        FileFingerprint print = FileFingerprint::ofRead(path, opened, bytes);
        LoadOutcome outcome = loadOutline(*loaded, std::move(bytes), path);
        loaded->onDisk = std::move(print);
        return {std::move(outcome), std::move(loaded)};
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return {{LoadOutcome::Status::CannotOpen, std::strerror(ENOMEM)}, nullptr};
}

LoadOutcome adoptLoad(Document& doc, PreparedLoad prepared) {
    if (prepared.loaded) {
        try {
            takeLoaded(doc, *prepared.loaded);
            doc.onDisk = std::move(prepared.loaded->onDisk);
        } catch (const std::bad_alloc&) {
            return {LoadOutcome::Status::CannotOpen, std::strerror(ENOMEM)};
        }
    }
    return std::move(prepared.outcome);
}

LoadOutcome LoadDocument(Document& doc, const std::string& path) {
    return adoptLoad(doc, prepareLoad(path));
}

}  // namespace mossleaf
