#pragma once

#include <QString>
#include <string>
#include <string_view>

// File names on Linux are bytes, and old archives hold Shift-JIS names that are not UTF-8.
// Qt turns each such byte into U+FFFD and cannot give it back, so the program keeps a path
// in a QString in its own lossless form: valid UTF-8 as text, every other byte as the lone
// surrogate U+DC00 + byte (the mapping the core uses for the bytes of a file).
namespace mossleaf::LocalPath {

// The path's bytes, for the core and for POSIX calls.
std::string toBytes(const QString& path);
QString fromBytes(std::string_view bytes);

// The path as Qt's own file functions and dialogs name it (bad bytes as U+FFFD).
QString toQtName(const QString& path);

// A name a Qt file dialog gave back. Where a part of it holds U+FFFD and names nothing, the
// one entry of its folder that Qt shows under that name stands for it, with its own bytes;
// a part that matches no entry, or more than one, is kept as given.
QString fromQtName(const QString& qtName);

// The path as a message shows it: each part that is valid UTF-8 as it is, any other part read
// as CP932, with bytes that are not CP932 either shown as U+FFFD.
QString forDisplay(const QString& path);

// True when something of that name exists (the bytes are used as they are).
bool exists(const QString& path);

}  // namespace mossleaf::LocalPath
