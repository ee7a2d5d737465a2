#include "core/file_fingerprint.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace mossleaf {

namespace {

constexpr std::size_t kChunk = 1 << 20;
// Coarser than any file time: FAT keeps two seconds.
constexpr long long kTimeGrainNs = 2'000'000'000LL;

long long nanoseconds(const struct timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
}

std::string followed(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return path;
    }
    std::string result(real);
    std::free(real);
    return result;
}

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Reads up to `size` bytes, as many as there are; -1 on an error.
ssize_t readFully(int fd, char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        got += std::size_t(n);
    }
    return ssize_t(got);
}

}  // namespace

bool FileFingerprint::Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

FileFingerprint::Stamp FileFingerprint::stampOf(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

FileFingerprint FileFingerprint::taken(const std::string& path, const struct stat& info) {
    FileFingerprint print;
    print.path_ = followed(path);
    print.stamp_ = stampOf(info);
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const long long latest =
        std::max(nanoseconds(print.stamp_.modified), nanoseconds(print.stamp_.changed));
    print.stampTrusted_ = nanoseconds(now) - latest >= kTimeGrainNs;
    return print;
}

FileFingerprint FileFingerprint::ofRead(const std::string& path, const struct stat& info,
                                        std::shared_ptr<const std::string> bytes) {
    FileFingerprint print = taken(path, info);
    print.bytes_ = std::move(bytes);
    return print;
}

FileFingerprint FileFingerprint::ofWritten(const std::string& path, const struct stat& info,
                                           const ContentHash& written) {
    FileFingerprint print = taken(path, info);
    print.hash_ = written.value();
    return print;
}

bool FileFingerprint::isFor(const std::string& target) const {
    if (empty()) {
        return false;
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) {
        return false;
    }
    return followed(target) == path_ ||
           (info.st_dev == stamp_.device && info.st_ino == stamp_.inode);
}

bool FileFingerprint::changedAt(const std::string& target) const {
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // Gone: nothing of anybody's is lost by writing. Unreadable: the save itself will
        // say why it cannot replace the file, or replace what it cannot see.
        return false;
    }
    struct stat info {};
    bool changed = true;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == stamp_.size) {
        changed = !(stampTrusted_ && stampOf(info) == stamp_) && !sameBytes(fd);
    }
    ::close(fd);
    return changed;
}

bool FileFingerprint::sameBytes(int fd) const {
    // One byte more than the file had, to see whether it ends there.
    std::vector<char> chunk(std::min(kChunk, std::size_t(stamp_.size) + 1));
    ContentHash hash;
    std::size_t at = 0;
    for (;;) {
        const ssize_t got = readFully(fd, chunk.data(), chunk.size());
        if (got < 0) {
            return false;
        }
        const std::string_view read(chunk.data(), std::size_t(got));
        if (bytes_) {
            if (at + read.size() > bytes_->size() ||
                std::memcmp(bytes_->data() + at, read.data(), read.size()) != 0) {
                return false;
            }
        } else {
            hash.feed(read);
        }
        at += read.size();
        if (read.size() < chunk.size()) {
            break;
        }
    }
    return bytes_ ? at == bytes_->size() : hash.value() == hash_;
}

}  // namespace mossleaf
