#include "core/outline_read_ahead.h"

#include <system_error>
#include <utility>

namespace mossleaf {

OutlineReadAhead::OutlineReadAhead(std::string path) : path_(std::move(path)) {
    try {
        prepared_ = std::async(std::launch::async, [path = path_] { return prepareLoad(path); });
    } catch (const std::system_error&) {
        // No thread to be had: the load reads the file itself, as without a read-ahead.
    }
}

OutlineReadAhead::~OutlineReadAhead() {
    if (prepared_.valid()) {
        prepared_.wait();
    }
}

LoadOutcome OutlineReadAhead::load(Document& doc, const std::string& path) {
    if (!prepared_.valid()) {
        return LoadDocument(doc, path);
    }
    PreparedLoad prepared = prepared_.get();
    if (path != path_) {
        return LoadDocument(doc, path);
    }
    return adoptLoad(doc, std::move(prepared));
}

}  // namespace mossleaf
