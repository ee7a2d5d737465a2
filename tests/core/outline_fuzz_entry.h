#pragma once

#include <string>
#include <string_view>

// One fuzzing step over the outline reader, the writer and the save to a real file, in a
// folder of this process under /dev/shm:
//  1. open the bytes and save them (A): a file in Mossleaf's own layout comes back byte for
//     byte; open A and save it (B): B is A, and A holds the same tree and texts;
//  2. open A, replace every title and body by its decoded text so that all of it is encoded
//     again, save and open: the same tree and texts, as far as the saved encoding holds them;
//  3. open the bytes, make the edits the input asks for (applyFuzzEdits), save and open: the
//     tree and texts as saved, every record after a reported body with a header line still
//     in place, and every record no edit touched written with its bytes as they were read.
// Every save must end each line with CR LF and leave the folder as it found it, beside the
// notes the user's own copies (.notes.txt.backup, ...) that the save must not take for its
// leftovers; MOSSLEAF_FUZZ_SKIP_LEFTOVERS=1 leaves them out.
// Returns an empty text when all holds, otherwise what went wrong.
std::string checkOutlineRoundTrip(std::string_view bytes);
