#pragma once

#include <sys/types.h>

#include <string>

#include "document/outline_writer.h"

namespace mossleaf {

// Replaces a file only once its new contents are complete and on disk: the bytes go to a
// temporary file in the same folder, which is flushed and renamed over the target. Until
// commit() succeeds the target is untouched; a failed or abandoned file leaves no temporary
// file behind.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks the target (a read-only file or a folder is refused) and creates the
    // temporary file.
    bool open();
    // Empties the temporary file to start over.
    bool restart();
    ByteSink& sink() { return sink_; }
    // Flushes the temporary file, gives it the target's permissions and renames it over
    // the target.
    bool commit();
    // Removes the temporary file.
    void discard();

    // The system's reason for the last failure.
    const std::string& error() const { return error_; }

private:
    class FileSink : public ByteSink {
    public:
        int fd = -1;
        int lastError = 0;
        bool write(std::string_view bytes) override;
        std::string failureReason() const override;
    };

    bool fail(int error);

    std::string path_;
    std::string target_;
    std::string tempPath_;
    FileSink sink_;
    mode_t mode_ = 0;
    bool existed_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    std::string error_;
};

}  // namespace mossleaf
