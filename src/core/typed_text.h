#pragma once

#include <string>
#include <string_view>

namespace mossleaf {

// What a title or a body may hold once the user commits it, whatever brought the text in
// (typing, pasting, dropping, an input method).

// A title is one line of the file: each line break (CR LF counting as one, a lone CR or LF,
// U+2028, U+2029) between its characters becomes one blank, so that a pasted line can never
// become body text or a record header of its own; breaks before the first character or after
// the last are dropped.
std::u16string titleFromTyped(std::u16string_view typed);

// Bodies keep CR LF between lines, the only line end the file reads back as it was: a lone
// CR or LF and the paragraph separator U+2029 become CR LF.
std::u16string bodyFromTyped(std::u16string_view typed);

}  // namespace mossleaf
