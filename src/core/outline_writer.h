#pragma once

#include <string>
#include <string_view>

#include "core/document.h"

namespace mossleaf {

// Where written bytes go: the temporary file of a save, a string in tests and the fuzzer,
// or a device made to fail.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // False when the bytes could not all be written.
    virtual bool write(std::string_view bytes) = 0;
    // The system's reason for the last failed write, when known.
    virtual std::string failureReason() const { return {}; }
};

class StringSink : public ByteSink {
public:
    bool write(std::string_view bytes) override {
        bytes_.append(bytes);
        return true;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

enum class WriteStatus {
    Written,
    CannotHold,  // a title or body has a character the encoding cannot hold
    Failed,      // the sink refused bytes
};

// Writes one record per node in Index order: the header line "<**********>, i , p ,title"
// and the node's body, each ended by CR LF. Utf8Bom starts with the byte-order mark.
WriteStatus writeOutline(const Document& doc, TextEncoding encoding, ByteSink& sink);

}  // namespace mossleaf
