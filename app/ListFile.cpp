#include "app/ListFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass {
namespace {

// A List.abc larger than this is no file of ours to copy whole; it is
// still saved, in place.
constexpr std::size_t kMaxWholeFile = 16u << 20;

// Closes on every way out.
class Fd {
  public:
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (m_fd >= 0) {
            const int saved = errno;
            ::close(m_fd);
            errno = saved;
        }
    }
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }
    // close(2) can report a failed write-back; keep that.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

  private:
    int m_fd;
};

std::int64_t nanoseconds(const timespec& t) {
    return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// O_NONBLOCK: opening a FIFO must not wait for a writer. A file it creates
// gets the usual permissions, less the umask.
int openNoWait(const std::string& path, int flags) {
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool isRegular(int fd, struct stat* st) {
    if (::fstat(fd, st) != 0)
        return false;
    if (!S_ISREG(st->st_mode)) {
        errno = EINVAL;
        return false;
    }
    return true;
}

std::optional<std::string> readUpTo(int fd, std::size_t limit) {
    std::string bytes;
    char buffer[16384];
    while (bytes.size() < limit) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool writeAllAt(int fd, std::string_view bytes, off_t at) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A link is followed, so that the link stays and its target is saved.
std::optional<std::string> resolved(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return std::nullopt;
    std::string target(real);
    std::free(real);
    return target;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

enum class Replaced { Yes, No, FolderTakesNoFile };

Replaced replaceWhole(const std::string& path, const std::string& image, const struct stat* old) {
    std::string temp = folderOf(path) + "/.List.abc.XXXXXX";
    Fd out(::mkostemp(temp.data(), O_CLOEXEC));
    if (!out.ok())
        return errno == EACCES || errno == EPERM || errno == EROFS ? Replaced::FolderTakesNoFile
                                                                   : Replaced::No;
    // A copy run by root over a user's file leaves it the user's.
    if (old) [[maybe_unused]]
        const int owned = ::fchown(out.get(), old->st_uid, old->st_gid);
    const bool written = writeAllAt(out.get(), image, 0) &&
                         ::fchmod(out.get(), old ? old->st_mode & 07777 : newFileMode()) == 0 &&
                         ::fsync(out.get()) == 0 && out.close() &&
                         ::rename(temp.c_str(), path.c_str()) == 0;
    if (!written) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return Replaced::No;
    }
    // The rename itself reaches the disk with the folder.
    Fd folder(openNoWait(folderOf(path), O_RDONLY | O_DIRECTORY));
    if (folder.ok())
        ::fsync(folder.get());
    return Replaced::Yes;
}

bool writeItemsInPlace(int fd, const ListValues& values, std::string_view old) {
    for (const ListItem& item : listItems(values, old))
        if (!writeAllAt(fd, item.bytes, static_cast<off_t>(item.at)))
            return false;
    return ::fsync(fd) == 0;
}

} // namespace

std::optional<ListFileBytes> readListFile(const std::string& path, std::size_t limit) {
    Fd in(openNoWait(path, O_RDONLY));
    struct stat st;
    if (!in.ok() || !isRegular(in.get(), &st))
        return std::nullopt;
    auto bytes = readUpTo(in.get(), limit);
    if (!bytes)
        return std::nullopt;
    return ListFileBytes{std::move(*bytes), nanoseconds(st.st_mtim)};
}

bool createEmptyListFile(const std::string& path) {
    Fd out(openNoWait(path, O_WRONLY | O_CREAT));
    struct stat st;
    return out.ok() && isRegular(out.get(), &st) && out.close();
}

bool saveListFile(const std::string& linkOrFile, const ListValues& values) {
    const auto path = resolved(linkOrFile);
    if (!path)
        return false;
    Fd file(openNoWait(*path, O_RDWR));
    if (!file.ok() && errno != ENOENT)
        return false;
    struct stat st;
    std::string old;
    bool whole = true;
    if (file.ok()) {
        if (!isRegular(file.get(), &st))
            return false;
        // The file as it is now, not as the restore found it: another copy of
        // the program may have saved meanwhile.
        auto bytes = readUpTo(file.get(), kMaxWholeFile + 1);
        if (!bytes)
            return false;
        whole = bytes->size() <= kMaxWholeFile;
        old = std::move(*bytes);
    }
    if (whole) {
        switch (replaceWhole(*path, writeListImage(values, old), file.ok() ? &st : nullptr)) {
        case Replaced::Yes:
            return true;
        case Replaced::No:
            return false;
        case Replaced::FolderTakesNoFile:
            break;
        }
    }
    if (!file.ok()) {
        errno = EACCES;
        return false;
    }
    return writeItemsInPlace(file.get(), values, old) && file.close();
}

void markNewerThan(const std::string& path, const std::string& other) {
    struct stat mine, theirs;
    if (::stat(path.c_str(), &mine) != 0 || ::stat(other.c_str(), &theirs) != 0 ||
        !S_ISREG(theirs.st_mode))
        return;
    const std::int64_t after = nanoseconds(theirs.st_mtim) + 1;
    if (nanoseconds(mine.st_mtim) >= after)
        return;
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(after / 1'000'000'000), static_cast<long>(after % 1'000'000'000)}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

} // namespace sheetmass
