#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "core/document.h"

namespace mossleaf {

// The marker that opens every record header.
inline constexpr std::string_view RecordMarker = "<**********>";

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

}  // namespace mossleaf
