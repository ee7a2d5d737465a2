#pragma once

#include <string>
#include <string_view>

namespace mossleaf {

// Where written bytes go: the temporary file of a save, or what a test puts in front of it
// (a device made to fail).
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not all be written.
    virtual bool write(std::string_view bytes) = 0;
    // The system's reason for the last failed write, when known.
    virtual std::string failureReason() const { return {}; }
};

}  // namespace mossleaf
