#include "core/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace mossleaf {

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinkHops = 40;
// What follows ".<name>." in a temporary file's name: the program's name, six random letters
// or digits, "-" and eight hex digits that check the rest. No person or other tool names a
// file so, and the check tells this program's leftovers from a look-alike.
constexpr std::string_view kTemporaryTag = "mossleaf-";
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kCheckLength = 8;
constexpr std::size_t kTemporaryTail = kTemporaryTag.size() + kRandomLength + 1 + kCheckLength;
// "~" and sixteen hex digits of the hash that stand for the rest of a shortened name.
constexpr std::size_t kHashedName = 1 + 16;
constexpr int kCreateAttempts = 100;

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// "" for a bare name, otherwise everything up to and including the last slash.
std::string folderPartOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Walks a chain of symbolic links to the path it ends at, which need not exist: saving
// through a dangling link creates the file it names. 0 or the reason to give up.
int followLinks(std::string& path) {
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            // Anything wrong with the end of the chain shows up when it is checked.
            return 0;
        }
        if (hops == kMaxLinkHops) {
            return ELOOP;
        }
        std::vector<char> link(std::size_t(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
        ssize_t length = 0;
        while ((length = ::readlink(path.c_str(), link.data(), link.size())) ==
               ssize_t(link.size())) {
            link.resize(link.size() * 2);  // the link grew since lstat
        }
        if (length < 0) {
            return errno;
        }
        std::string next(link.data(), std::size_t(length));
        path = next.starts_with('/') ? next : folderPartOf(path) + next;
    }
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

// The last `digits` hex digits of `value`.
std::string hexDigits(std::uint64_t value, std::size_t digits) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
    return std::string(hex + 16 - digits, digits);
}

// ".<name>." for the usual name. A name so long that the temporary name would not fit the
// folder is cut (at a character boundary when it is UTF-8) and followed by a hash of the
// whole name, so that two long names sharing their beginning never share a prefix. A name
// the folder cannot hold at all keeps the plain prefix and fails with the system's reason.
std::string temporaryPrefixFor(const std::string& name, std::size_t nameMax) {
    // Appended piece by piece: "." + a temporary string has GCC 12 warn of an overlapping copy
    // that cannot happen (-Wrestrict).
    std::string prefix(1, '.');
    if (name.size() + 2 + kTemporaryTail <= nameMax || name.size() > nameMax ||
        nameMax <= kHashedName + kTemporaryTail + 2) {
        return prefix.append(name).append(1, '.');
    }
    std::size_t keep = nameMax - 2 - kHashedName - kTemporaryTail;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return prefix.append(name, 0, keep)
        .append(1, '~')
        .append(hexDigits(fnv1a(name), 16))
        .append(1, '.');
}

// The check that ends a temporary name made for `prefix` with `random`.
std::string temporaryCheck(std::string_view prefix, std::string_view random) {
    std::string checked(prefix);
    checked.append(kTemporaryTag).append(random);
    return hexDigits(fnv1a(checked), kCheckLength);
}

std::string randomLetters() {
    static constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 generator{std::random_device{}()};
    std::string letters(kRandomLength, '0');
    for (char& c : letters) {
        c = kLetters[generator() % kLetters.size()];
    }
    return letters;
}

std::string temporaryNameFor(const std::string& prefix) {
    const std::string random = randomLetters();
    return prefix + std::string(kTemporaryTag) + random + "-" + temporaryCheck(prefix, random);
}

// Whether `name` is a temporary name this program made for `prefix`.
bool isTemporaryName(std::string_view name, std::string_view prefix) {
    if (name.size() != prefix.size() + kTemporaryTail || !name.starts_with(prefix)) {
        return false;
    }
    name.remove_prefix(prefix.size());
    if (!name.starts_with(kTemporaryTag) || name[kTemporaryTag.size() + kRandomLength] != '-') {
        return false;
    }
    const std::string_view random = name.substr(kTemporaryTag.size(), kRandomLength);
    return name.ends_with(temporaryCheck(prefix, random));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes `name`, a temporary name of this program, from the folder when it is a regular
// file of this user's that nobody is writing and whose start the owner of the target
// recognises as its own. Every doubt leaves the file where it is.
void removeIfInterrupted(int folderFd, const char* name, const LeftoverCheck& check) {
    struct stat listed {};
    if (::fstatat(folderFd, name, &listed, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(listed.st_mode) ||
        listed.st_uid != ::geteuid()) {
        return;
    }
    const int fd =
        ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat opened {};
    std::string head(check.headSize, '\0');
    std::size_t got = 0;
    // A save in progress holds a lock on its temporary file.
    if (::fstat(fd, &opened) == 0 && sameFile(opened, listed) &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        while (got < head.size()) {
            const ssize_t n = ::pread(fd, head.data() + got, head.size() - got, off_t(got));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += std::size_t(n);
        }
        head.resize(got);
        // Nothing read from a file that has bytes is nothing to recognise it by.
        const bool recognised = (got > 0 || opened.st_size == 0) && check.matches(head);
        struct stat now {};
        if (recognised && ::fstatat(folderFd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(now, opened)) {
            ::unlinkat(folderFd, name, 0);
        }
    }
    ::close(fd);
}

// Reads a list or value whose size the call reports when given no room, growing the buffer
// while the attribute grows underneath. 0 or the reason.
template <typename Read>
int readGrowing(std::string& out, Read read) {
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) {
            return errno;
        }
        out.assign(std::size_t(size), '\0');
        if (size == 0) {
            return 0;
        }
        const ssize_t got = read(out.data(), out.size());
        if (got >= 0) {
            out.resize(std::size_t(got));
            return 0;
        }
        if (errno != ERANGE) {
            return errno;
        }
    }
}

bool unsupported(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP;
}

}  // namespace

void ignoreFileSizeSignal() {
    static const bool ignored = [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            ::signal(SIGXFSZ, SIG_IGN);
        }
        return true;
    }();
    (void)ignored;
}

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

AtomicFile::AtomicFile(std::string path, LeftoverCheck leftovers)
    : path_(std::move(path)), leftovers_(std::move(leftovers)), target_(path_) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::fail(int error) {
    error_ = std::strerror(error);
    discard();
    return false;
}

bool AtomicFile::open() {
    ignoreFileSizeSignal();
    // A link is followed, so that the file it names is replaced or created and the link
    // stays.
    if (const int error = followLinks(target_)) {
        return fail(error);
    }
    struct stat info {};
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

    const std::string folder = folderPartOf(target_);
    folder_ = folder.empty() ? "./" : folder;
    const long nameMax = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
    tempPrefix_ = temporaryPrefixFor(target_.substr(folder.size()),
                                     nameMax > 0 ? std::size_t(nameMax) : std::size_t(NAME_MAX));
    // O_EXCL, so that a file of that name, whoever made it, is never written into.
    for (int attempt = 0; sink_.fd < 0; ++attempt) {
        const std::string candidate = folder_ + temporaryNameFor(tempPrefix_);
        if (candidate.size() >= PATH_MAX) {
            return fail(ENAMETOOLONG);
        }
        sink_.fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (sink_.fd >= 0) {
            tempPath_ = candidate;
        } else if (errno != EEXIST || attempt == kCreateAttempts) {
            return fail(errno);
        }
    }
    // Tells a save of the same file running meanwhile that this one is not a leftover; a
    // filesystem without locks just goes without.
    ::flock(sink_.fd, LOCK_EX | LOCK_NB);
    return true;
}

bool AtomicFile::restart() {
    if (::ftruncate(sink_.fd, 0) != 0 || ::lseek(sink_.fd, 0, SEEK_SET) != 0) {
        return fail(errno);
    }
    return true;
}

int AtomicFile::copyExtendedAttributes() {
    // Reading needs the file open for reading; a write-only file is read by its path.
    const int source =
        ::open(target_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const char* path = target_.c_str();
    std::string names;
    int error = readGrowing(names, [&](char* buffer, std::size_t size) {
        return source >= 0 ? ::flistxattr(source, buffer, size) : ::llistxattr(path, buffer, size);
    });
    // Without extended attributes on this filesystem, or with the old file gone meanwhile,
    // there is nothing to keep.
    if (unsupported(error) || error == ENOENT) {
        error = 0;
        names.clear();
    }
    for (std::size_t at = 0, end = 0;
         error == 0 && (end = names.find('\0', at)) != std::string::npos; at = end + 1) {
        const char* name = names.c_str() + at;
        if (!std::string_view(name).starts_with("user.")) {
            continue;
        }
        std::string value;
        error = readGrowing(value, [&](char* buffer, std::size_t size) {
            return source >= 0 ? ::fgetxattr(source, name, buffer, size)
                               : ::lgetxattr(path, name, buffer, size);
        });
        if (error == ENODATA) {
            error = 0;  // removed since it was listed
            continue;
        }
        if (error == 0 && ::fsetxattr(sink_.fd, name, value.data(), value.size(), 0) != 0) {
            error = unsupported(errno) ? 0 : errno;
        }
    }
    if (source >= 0) {
        ::close(source);
    }
    return error;
}

bool AtomicFile::commit() {
    if (sink_.fd < 0) {
        return fail(EBADF);
    }
    if (existed_) {
        if (const int error = copyExtendedAttributes()) {
            return fail(error);
        }
        // Only root can hand the file to another owner, and a member of the old group can
        // still give it that group; where neither works the save goes ahead.
        if (::fchown(sink_.fd, owner_, group_) != 0) {
            [[maybe_unused]] const int ignored = ::fchown(sink_.fd, uid_t(-1), group_);
        }
    }
    // After fchown, which clears the set-user-ID and set-group-ID bits.
    if (::fchmod(sink_.fd, mode_) != 0) {
        return fail(errno);
    }
    if (::fsync(sink_.fd) != 0) {
        return fail(errno);
    }
    // The file stays open, and locked, until it has its final name.
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return fail(errno);
    }
    tempPath_.clear();
    ::fstat(sink_.fd, &written_);
    ::close(sink_.fd);
    sink_.fd = -1;
    // The rename itself reaches the disk with the folder; failing that, or the cleanup, is
    // no reason to report a save that has already happened.
    const int folderFd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        removeInterruptedSaves(folderFd);
        ::close(folderFd);
    }
    return true;
}

void AtomicFile::removeInterruptedSaves(int folderFd) const {
    if (!leftovers_.matches) {
        return;
    }
    // A descriptor of its own, so that reading the folder leaves folderFd as it was.
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) {
        return;
    }
    DIR* folder = ::fdopendir(listFd);
    if (!folder) {
        ::close(listFd);
        return;
    }
    std::vector<std::string> candidates;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (isTemporaryName(name, tempPrefix_)) {
            candidates.emplace_back(name);
        }
    }
    ::closedir(folder);
    for (const std::string& name : candidates) {
        removeIfInterrupted(folderFd, name.c_str(), leftovers_);
    }
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
