#pragma once

#include "core/byte_sink.h"
#include "core/document.h"
#include "core/text_codec.h"

namespace mossleaf {

enum class WriteStatus {
    Written,
    CannotHold,  // a title or body has a character the encoding cannot hold
    Failed,      // the sink refused bytes
};

// Writes one record per node in Index order: the header line "<**********>, i , p ,title"
// and the node's body, each ended by CR LF. Utf8Bom starts with the byte-order mark.
WriteStatus writeOutline(const Document& doc, TextEncoding encoding, ByteSink& sink);

}  // namespace mossleaf
