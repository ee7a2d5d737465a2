#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"

// Edits a fuzzing input asks for, made the way the window makes them (new, rename, delete,
// a body committed): titles and bodies with line breaks of every kind, escaped bytes, lone
// surrogates, controls, CJK, half-width kana, characters CP932 cannot hold, record markers
// and long runs. `script` is read from its end, so that the same input is also the file that
// was loaded. Returns the keys of the nodes whose title or body an edit set or created.
std::vector<std::string> applyFuzzEdits(mossleaf::Document& doc, std::string_view script);
