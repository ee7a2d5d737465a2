#include "core/outline_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

#include "core/file_fingerprint.h"
#include "core/number_text.h"
#include "core/outline_format.h"

namespace mossleaf {

namespace {

// Walks the lines of a buffer once. A line ends at CR LF, a lone CR or a lone LF; the last
// line may have no end. The next CR and the next LF are remembered and searched again only
// once passed, so a file with one kind of line end costs two memchr sweeps in all.
class LineScanner {
public:
    explicit LineScanner(std::string_view bytes)
        : begin_(bytes.data()), end_(bytes.data() + bytes.size()), pos_(begin_) {}

    struct Line {
        const char* begin;
        const char* end;  // end of the text, before the line end
        int endLength;    // 2 for CR LF, 1 for a lone CR or LF, 0 at the end of the buffer
    };

    bool next(Line& line) {
        if (pos_ >= end_) {
            return false;
        }
        if (nextCr_ < pos_) {
            nextCr_ = find('\r');
        }
        if (nextLf_ < pos_) {
            nextLf_ = find('\n');
        }
        const char* eol = std::min(nextCr_, nextLf_);
        line.begin = pos_;
        line.end = eol;
        if (eol == end_) {
            line.endLength = 0;
        } else if (*eol == '\r' && eol + 1 < end_ && eol[1] == '\n') {
            line.endLength = 2;
        } else {
            line.endLength = 1;
        }
        pos_ = eol + line.endLength;
        return true;
    }

    const char* position() const { return pos_; }

private:
    const char* find(char c) const {
        const void* found = std::memchr(pos_, c, end_ - pos_);
        return found ? static_cast<const char*>(found) : end_;
    }

    const char* begin_;
    const char* end_;
    const char* pos_;
    const char* nextCr_ = nullptr;
    const char* nextLf_ = nullptr;
};

bool isHeader(const LineScanner::Line& line) {
    const std::size_t length = line.end - line.begin;
    return length >= kRecordMarker.size() &&
           std::memcmp(line.begin, kRecordMarker.data(), kRecordMarker.size()) == 0 &&
           (length == kRecordMarker.size() || line.begin[kRecordMarker.size()] == ',');
}

// The fields of a header line: marker, record number, parent number, title. The title is
// everything after the third comma, commas and quotes included.
struct Header {
    std::string_view parentField;
    std::string_view title;
};

Header splitHeader(const LineScanner::Line& line) {
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
    LineScanner scanner(content);
    LineScanner::Line line{};
    if (!scanner.next(line)) {
        return {};  // an empty file is an empty Document
    }
    if (!isHeader(line)) {
        doc.CurrentFileName.clear();
        doc.encoding = TextEncoding::Cp932;
        return {LoadOutcome::Status::NotOutline, {}};
    }

    const TextEncoding encoding = doc.encoding;
    LoadOutcome outcome;
    int record = 0;
    // The record being read: its header fields and its body so far.
    Header header;
    const char* bodyBegin = nullptr;
    const char* bodyEnd = nullptr;  // end of the text of the last body line; null: no line
    bool bodyCrLf = true;
    bool lastEndLone = false;

    auto addRecord = [&] {
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
        doc.BodyTable[record] = StoredText::fromBytes(bytes, body, encoding, bodyCrLf);
        ++doc.NodeCounter;
    };

    do {
        if (isHeader(line)) {
            if (record > 0) {
                addRecord();
            }
            if (record == Document::kMaxRecords) {
                outcome.status = LoadOutcome::Status::TooManyRecords;
                doc.CurrentFileName.clear();
                return outcome;
            }
            ++record;
            header = splitHeader(line);
            bodyBegin = scanner.position();
            bodyEnd = nullptr;
            bodyCrLf = true;
        } else {
            // A line end inside the body that is not CR LF means the bytes need work when
            // written or decoded; the end of the body's last line is not part of it.
            if (bodyEnd != nullptr && lastEndLone) {
                bodyCrLf = false;
            }
            bodyEnd = line.end;
            lastEndLone = line.endLength == 1;
        }
    } while (scanner.next(line));
    addRecord();
    return outcome;
}

LoadOutcome LoadDocument(Document& doc, const std::string& path) {
    try {
        std::string reason;
        struct stat opened {};
        std::shared_ptr<const std::string> bytes = readWholeFile(path, reason, &opened);
        if (!bytes) {
            const bool special =
                opened.st_mode != 0 && !S_ISREG(opened.st_mode) && !S_ISDIR(opened.st_mode);
            return {LoadOutcome::Status::CannotOpen, reason, special};
        }
        // Read into a Document of its own first: running out of memory halfway (a title of
        // a gigabyte) must leave this one as it was.
        auto loaded = std::make_unique<Document>();
        FileFingerprint print = FileFingerprint::ofRead(path, opened, bytes);
        const LoadOutcome outcome = loadOutline(*loaded, std::move(bytes), path);
        takeLoaded(doc, *loaded);
        doc.onDisk = std::move(print);
        return outcome;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return {LoadOutcome::Status::CannotOpen, std::strerror(ENOMEM)};
}

}  // namespace mossleaf
