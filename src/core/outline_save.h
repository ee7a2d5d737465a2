#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/document.h"
#include "core/outline_writer.h"

namespace mossleaf {

// Lets a test put its own sink in front of the file a save writes to (one that fails after
// some bytes, say). Given the file's sink, returns the sink the writer is to use.
using SinkInterposer = std::function<std::unique_ptr<ByteSink>(ByteSink& file)>;

// Writes the Document to `path` in its encoding, replacing the file only when everything
// was written. When CP932 cannot hold a character, or the bytes written would be taken for
// another encoding on the next open (CP932 that is valid UTF-8, UTF-8 that is not), the whole
// file is written as UTF-8 with a byte-order mark, and the Document's encoding becomes
// Utf8Bom once that save succeeded. Nothing else of the Document changes. Running out of
// memory fails the save like a full disk does.
SaveOutcome saveOutlineFile(Document& doc, const std::string& path,
                            const SinkInterposer& interpose = {});

}  // namespace mossleaf
