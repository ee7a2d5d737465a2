#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/content_hash.h"

namespace mossleaf {

// What the file a notebook was read from or last saved to looked like then, so that a save
// can tell whether another program (or another window) has written it since.
class FileFingerprint {
public:
    FileFingerprint() = default;
    // A file just read: `info` from the open file, taken before reading `bytes`.
    static FileFingerprint ofRead(const std::string& path, const struct stat& info,
                                  std::shared_ptr<const std::string> bytes);
    // A file just written, whose bytes hashed to `written`.
    static FileFingerprint ofWritten(const std::string& path, const struct stat& info,
                                     const ContentHash& written);

    bool empty() const { return path_.empty(); }

    // Whether `target` names the recorded file: the same path once links are followed, or
    // the same file under another name.
    bool isFor(const std::string& target) const;
    // Whether the file at `target` no longer holds the recorded bytes. A file that is only
    // touched, or rewritten with the same bytes, has not changed; one that is gone has
    // nothing to lose. Cheap checks come first; the bytes are read only when they disagree.
    bool changedAt(const std::string& target) const;

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        struct timespec modified {};
        struct timespec changed {};
        bool operator==(const Stamp& other) const;
    };
    static Stamp stampOf(const struct stat& info);
    static FileFingerprint taken(const std::string& path, const struct stat& info);
    bool sameBytes(int fd) const;

    std::string path_;  // with every link followed
    Stamp stamp_;
    // File times are coarse (a clock tick, two seconds on some filesystems): a change made
    // within that time after the stamp was taken can leave it as it was, so such a stamp
    // alone proves nothing.
    bool stampTrusted_ = false;
    // What the file held: its bytes after a read (kept anyway by the notes that come from
    // it), a hash after a save.
    std::shared_ptr<const std::string> bytes_;
    std::uint64_t hash_ = 0;
};

}  // namespace mossleaf
