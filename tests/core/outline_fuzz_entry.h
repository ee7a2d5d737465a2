#pragma once

#include <string>
#include <string_view>

// One fuzzing step over the outline reader and writer, without files:
//  1. load the bytes and save them (A), load A and save it again (B): A and B must match;
//  2. load A, replace every title and body by its decoded text so that all of it is encoded
//     again, save (C) and load C: the tree must match, and so must every text unless the
//     save had to fall back to UTF-8;
//  3. load the bytes, make the edits the input asks for (applyFuzzEdits), save them to a
//     file with Document::SaveDocument and open that file: the tree, every title and every
//     body read back as they were saved, up to a body the save reported for a header line.
// Returns an empty text when all holds, otherwise what went wrong.
std::string checkOutlineRoundTrip(std::string_view bytes);
