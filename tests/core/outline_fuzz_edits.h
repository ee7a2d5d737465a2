#pragma once

#include <string_view>

#include "core/document.h"

// Edits a fuzzing input asks for, made the way the window makes them (new, rename, delete,
// a body committed): titles and bodies with line breaks of every kind, escaped bytes, lone
// surrogates, CJK, half-width kana, characters CP932 cannot hold and record markers.
// `script` is read from its end, so that the same input is also the file that was loaded.
void applyFuzzEdits(mossleaf::Document& doc, std::string_view script);
