#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_sink.h"
#include "core/document.h"

namespace mossleaf {

struct SaveOutcome {
    enum class Status {
        Saved,
        SavedAsUtf8,  // CP932 would not give the same text back: written as UTF-8 with a BOM
        Failed,       // the old file is untouched and the Document unchanged
        // The file was written by someone else since it was read or saved here: nothing was
        // written, nothing changed. A save told to replace it writes over it.
        ChangedOnDisk,
    };
    Status status = Status::Saved;
    std::string reason;  // the system's reason for Failed, when known
    // Keys of the nodes whose body holds a line that reads back as a record header (the
    // marker alone, or the marker and a comma): the file was written, but on the next open
    // those notes split in two. In Index order.
    std::vector<std::string> markerLineKeys;
};

// Lets a test put its own sink in front of the file a save writes to (one that fails after
// some bytes, say). Given the file's sink, returns the sink the writer is to use.
using SinkInterposer = std::function<std::unique_ptr<ByteSink>(ByteSink& file)>;

// Writes the Document to `path` in its encoding, replacing the file only when everything
// was written. When CP932 cannot hold a character, or the bytes written would be taken for
// another encoding on the next open (CP932 that is valid UTF-8, UTF-8 that is not), the whole
// file is written as UTF-8 with a byte-order mark, and the Document's encoding becomes
// Utf8Bom once that save succeeded. Running out of memory fails the save like a full disk
// does.
// The file the Document was last read from or saved to is written over only while it holds
// what it held then, or when `replaceChanged` is set; otherwise the outcome is ChangedOnDisk
// and nothing is written. A successful save records the file as written (Document::onDisk);
// nothing else of the Document changes.
SaveOutcome saveOutlineFile(Document& doc, const std::string& path,
                            const SinkInterposer& interpose = {}, bool replaceChanged = false);

// saveOutlineFile as the File commands use it. Writing over the file last read or saved gives
// ChangedOnDisk when another program has changed it since, unless `replaceChanged` is set.
SaveOutcome SaveDocument(Document& doc, const std::string& path, bool replaceChanged = false);

}  // namespace mossleaf
