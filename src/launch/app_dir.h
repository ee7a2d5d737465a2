#pragma once

#include <QString>

// Where the program lives on disk.
namespace mossleaf::FILE01 {

// The directory of the program's executable without a trailing "/", so that it joins with
// texts that begin with "/" ("/help.htm"). For a program in the root directory it is "".
QString AppDir();

// The same rule applied to a given directory, for callers that already know it.
QString appDirOf(const QString& directory);

// `path` itself when it exists; otherwise the entry of its directory whose name matches the
// last component without regard to case, as a case-insensitive file system would find it;
// otherwise `path` unchanged.
QString matchNameIgnoringCase(const QString& path);

}  // namespace mossleaf::FILE01
