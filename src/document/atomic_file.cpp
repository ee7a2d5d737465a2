#include "document/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mossleaf {

namespace {

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

bool AtomicFile::FileSink::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            lastError = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string AtomicFile::FileSink::failureReason() const {
    return lastError ? std::strerror(lastError) : std::string();
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), target_(path_) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail(int error) {
    error_ = std::strerror(error);
    discard();
    return false;
}

bool AtomicFile::open() {
    // A link is followed, so that the file it names is replaced and the link stays.
    struct stat info {};
    if (::lstat(path_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path_.c_str(), nullptr)) {
            target_ = resolved;
            std::free(resolved);
        }
    }
    if (::stat(target_.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return fail(EISDIR);
        }
        if (!S_ISREG(info.st_mode)) {
            return fail(EINVAL);
        }
        // Root passes every access check, so a file without any write bit counts as
        // read-only as well.
        if (::access(target_.c_str(), W_OK) != 0) {
            return fail(errno);
        }
        if ((info.st_mode & 0222) == 0) {
            return fail(EACCES);
        }
        existed_ = true;
        mode_ = info.st_mode & 07777;
        owner_ = info.st_uid;
        group_ = info.st_gid;
    } else if (errno != ENOENT) {
        return fail(errno);
    } else {
        mode_ = 0666 & ~currentUmask();
    }

    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string pattern = folder + (folder.ends_with('/') ? "" : "/") + "." + name + ".XXXXXX";
    if (pattern.size() >= PATH_MAX) {
        return fail(ENAMETOOLONG);
    }
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    sink_.fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (sink_.fd < 0) {
        return fail(errno);
    }
    tempPath_ = temp.data();
    return true;
}

bool AtomicFile::restart() {
    if (::ftruncate(sink_.fd, 0) != 0 || ::lseek(sink_.fd, 0, SEEK_SET) != 0) {
        return fail(errno);
    }
    return true;
}

bool AtomicFile::commit() {
    if (sink_.fd < 0) {
        return fail(EBADF);
    }
    if (::fchmod(sink_.fd, mode_) != 0) {
        return fail(errno);
    }
    if (existed_ && ::geteuid() == 0) {
        // Only root can hand the file back to its owner; a failure here costs nothing.
        [[maybe_unused]] const int ignored = ::fchown(sink_.fd, owner_, group_);
    }
    if (::fsync(sink_.fd) != 0) {
        return fail(errno);
    }
    const int fd = sink_.fd;
    sink_.fd = -1;
    if (::close(fd) != 0) {
        return fail(errno);
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return fail(errno);
    }
    tempPath_.clear();
    // The rename itself reaches the disk with the folder; failing that is no reason to
    // report a save that has already happened.
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

void AtomicFile::discard() {
    if (sink_.fd >= 0) {
        ::close(sink_.fd);
        sink_.fd = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace mossleaf
