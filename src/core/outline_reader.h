#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "core/document.h"

namespace mossleaf {

// What LoadDocument found; the window turns it into the user's message.
struct LoadOutcome {
    enum class Status {
        Loaded,          // the file's records are the Document now (an empty file included)
        CannotOpen,      // nothing changed
        NotOutline,      // first line is not a record header: Document empty, no file name
        TooManyRecords,  // the first 512 records were read; no file name, so Save asks for one
    };
    Status status = Status::Loaded;
    std::string reason;  // the system's reason for CannotOpen, when known
    // CannotOpen because it is a pipe, a device or a socket, which are never read.
    bool specialFile = false;
};

// Reads the whole file at `path` into one buffer, and what the open file was before reading
// into `opened` when given (also when it is refused for not being a regular file). On
// failure returns null and puts the system's reason into `reason`.
std::shared_ptr<const std::string> readWholeFile(const std::string& path, std::string& reason,
                                                 struct stat* opened = nullptr);

// Replaces the Document with the outline held in `bytes` (the contents of the file at
// `path`): clears it, rebuilds the tree with keys S1..Sn and fills BodyTable slots 1..n.
// Bodies keep their bytes and are decoded when first asked for.
LoadOutcome loadOutline(Document& doc, std::shared_ptr<const std::string> bytes,
                        const std::string& path);

// Reads the file at `path` into the Document and records what it held (Document::onDisk)
// for a later save to compare with. Running out of memory gives CannotOpen and leaves the
// Document as it was.
LoadOutcome LoadDocument(Document& doc, const std::string& path);

// LoadDocument in two steps: the file read into a Document of its own, which touches nothing
// else and may run on another thread; then that Document taken over by the one shown.
struct PreparedLoad {
    LoadOutcome outcome;
    std::unique_ptr<Document> loaded;  // null when the file was not read
};
PreparedLoad prepareLoad(const std::string& path);
LoadOutcome adoptLoad(Document& doc, PreparedLoad prepared);

}  // namespace mossleaf
