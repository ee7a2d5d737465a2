#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/byte_sink.h"

namespace mossleaf {

// Replaces a file only once its new contents are complete and on disk: the bytes go to a
// temporary file in the same folder, which is flushed, given the old file's mode, owner,
// group and user extended attributes, and renamed over the target. Until commit() succeeds
// the target is untouched; a failed or abandoned file leaves no temporary file behind, and
// a successful commit removes what saves of the same file that were killed left behind,
// as far as the caller's LeftoverCheck recognises them.
// Past a file-size limit (ulimit -f) the system ends the process with SIGXFSZ, and every
// unsaved note with it. Ignored, a write fails with EFBIG and is reported like a full disk. A
// handler the program set up itself is left alone. AtomicFile calls it before every save.
void ignoreFileSizeSignal();

// How the caller knows a temporary file of its own that a killed save left: by its first
// headSize bytes, fewer when the file is shorter (an empty head only for an empty file).
// Only a file with a temporary name of this target, regular, the user's, locked by no save
// in progress, is shown to `matches`; without `matches` nothing is removed.
struct LeftoverCheck {
    std::size_t headSize = 0;
    std::function<bool(std::string_view head)> matches;
};

class AtomicFile {
public:
    explicit AtomicFile(std::string path, LeftoverCheck leftovers = {});
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Follows symbolic links to the file they name (created when missing), checks it (a
    // read-only file or a folder is refused) and creates the temporary file.
    bool open();
    // Empties the temporary file to start over.
    bool restart();
    ByteSink& sink() { return sink_; }
    // Flushes the temporary file, gives it what the target was and renames it over the
    // target.
    bool commit();
    // Removes the temporary file.
    void discard();

    // The system's reason for the last failure.
    const std::string& error() const { return error_; }
    // The file that is replaced: the path with every link followed, once open() succeeded.
    const std::string& target() const { return target_; }
    // What the file looked like once it had its name, after commit() succeeded.
    const struct stat& written() const { return written_; }

private:
    class FileSink : public ByteSink {
    public:
        int fd = -1;
        int lastError = 0;
        bool write(std::string_view bytes) override;
        std::string failureReason() const override;
    };

    bool fail(int error);
    int copyExtendedAttributes();
    void removeInterruptedSaves(int folderFd) const;

    std::string path_;
    LeftoverCheck leftovers_;
    std::string target_;
    std::string folder_;
    // What every temporary name of the target starts with.
    std::string tempPrefix_;
    std::string tempPath_;
    FileSink sink_;
    mode_t mode_ = 0;
    bool existed_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    std::string error_;
    struct stat written_ {};
};

}  // namespace mossleaf
