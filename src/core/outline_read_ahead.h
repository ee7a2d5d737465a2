#pragma once

#include <future>
#include <string>

#include "core/outline_reader.h"

namespace mossleaf {

// The notebook named on the command line, read on a thread of its own while the window is
// being built, so that the window shows it sooner. Only the first load may take it: a later
// one reads the file anew, as it may have changed meanwhile.
class OutlineReadAhead {
public:
    explicit OutlineReadAhead(std::string path);
    // Waits for the reading to end.
    ~OutlineReadAhead();
    OutlineReadAhead(const OutlineReadAhead&) = delete;
    OutlineReadAhead& operator=(const OutlineReadAhead&) = delete;

    // LoadDocument, with what was read ahead when `path` is the file read ahead and nothing
    // was taken yet.
    LoadOutcome load(Document& doc, const std::string& path);

private:
    std::string path_;
    std::future<PreparedLoad> prepared_;
};

}  // namespace mossleaf
