#include "listfile/ListFile.h"

#include "listfile/OwnFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass {
namespace {

// Temporary files of a save: the prefix and six letters or digits.
constexpr std::string_view kTempPrefix = ".List.abc.";
constexpr std::size_t kTempLetters = 6;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Another copy's save holds the lock for a moment; whoever holds it longer
// is no copy of ours saving, and is not waited for.
constexpr int kLockWaitMs = 5000;

std::int64_t nanoseconds(const timespec& t) {
    return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::optional<std::string> readUpTo(int fd, std::size_t limit) {
    std::string bytes;
    char buffer[16384];
    while (bytes.size() < limit) {
        const ssize_t n =
            ::pread(fd, buffer, std::min(sizeof buffer, limit - bytes.size()), off_t(bytes.size()));
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

// Everything from `at` to the end, in pieces, to the same offsets.
bool copyRest(int from, int to, off_t at) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(from, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAllAt(to, std::string_view(buffer, static_cast<std::size_t>(n)), at))
            return false;
        at += n;
    }
}

bool lockWithin(int fd, int ms) {
    for (int waited = 0;; waited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (waited >= ms)
            return false;
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool isTempName(std::string_view name) {
    return name.size() == kTempPrefix.size() + kTempLetters && name.starts_with(kTempPrefix) &&
           name.find_first_not_of(std::string_view(kLetters), kTempPrefix.size()) ==
               std::string_view::npos;
}

// A new file of this user's only, never through a link; locked at once, so
// that no later save takes it for a leftover.
Fd createTemp(int folder, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kTempLetters];
        if (::getrandom(random, sizeof random, 0) != sizeof random)
            for (std::size_t i = 0; i < kTempLetters; ++i)
                random[i] = static_cast<unsigned char>(std::rand());
        name = kTempPrefix;
        for (unsigned char r : random)
            name += kLetters[r % (sizeof kLetters - 1)];
        Fd temp(::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         0600));
        if (temp.ok()) {
            ::flock(temp.get(), LOCK_EX | LOCK_NB);
            return temp;
        }
        if (errno != EEXIST)
            return temp;
    }
    return Fd();
}

// Temporary files of earlier saves that were killed: this user's regular
// files of our name pattern that no running save holds locked. Run while
// holding the lock on List.abc, under which every save makes its own.
void removeLeftovers(int folder) {
    Fd listing(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* entries = listing.ok() ? ::fdopendir(listing.get()) : nullptr;
    if (!entries)
        return;
    listing.release();
    while (const dirent* entry = ::readdir(entries)) {
        if (!isTempName(entry->d_name))
            continue;
        struct stat named, st;
        if (::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(named.st_mode) || named.st_uid != ::geteuid())
            continue;
        Fd temp(::openat(folder, entry->d_name,
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!temp.ok() || ::fstat(temp.get(), &st) != 0 || st.st_dev != named.st_dev ||
            st.st_ino != named.st_ino || ::flock(temp.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

enum class Replaced { Yes, No, FolderTakesNoFile };

// The new bytes go to a file beside the old one that is then renamed over
// it: a save cut short anywhere leaves the old file whole.
Replaced replaceWhole(OwnFile& list, const std::string& image) {
    const int folder = list.folder.get();
    if (list.file.ok())
        removeLeftovers(folder);
    std::string temp;
    Fd out = createTemp(folder, temp);
    if (!out.ok())
        return errno == EACCES || errno == EPERM || errno == EROFS ? Replaced::FolderTakesNoFile
                                                                   : Replaced::No;
    // A copy run by root over a user's file leaves it the user's.
    if (list.file.ok()) [[maybe_unused]]
        const int owned = ::fchown(out.get(), list.st.st_uid, list.st.st_gid);
    const mode_t mode = list.file.ok() ? list.st.st_mode & 0777 : newFileMode();
    const bool written =
        writeAllAt(out.get(), image, 0) &&
        (!list.file.ok() || copyRest(list.file.get(), out.get(), off_t(image.size()))) &&
        ::fchmod(out.get(), mode) == 0 && ::fsync(out.get()) == 0 &&
        ::renameat(folder, temp.c_str(), folder, list.name.c_str()) == 0;
    if (!written) {
        const int saved = errno;
        ::unlinkat(folder, temp.c_str(), 0);
        errno = saved;
        return Replaced::No;
    }
    // The rename itself reaches the disk with the folder.
    ::fsync(folder);
    return out.close() ? Replaced::Yes : Replaced::No;
}

bool writeItemsInPlace(int fd, const ListValues& values, std::string_view old) {
    for (const ListItem& item : listItems(values, old))
        if (!writeAllAt(fd, item.bytes, static_cast<off_t>(item.at)))
            return false;
    return ::fsync(fd) == 0;
}

// The file as it is once this save holds its lock: another copy may have
// renamed a new one over it meanwhile, which is then the one to lock.
Opened openLocked(const std::string& path, OwnFile& list) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        list = OwnFile();
        const Opened opened = openOwnFile(path, O_RDWR, list);
        if (opened != Opened::Yes)
            return opened;
        if (!lockWithin(list.file.get(), kLockWaitMs))
            return Opened::Failed;
        if (stillNamed(list))
            return Opened::Yes;
    }
    errno = EAGAIN;
    return Opened::Failed;
}

bool save(const std::string& path, const ListValues& values) {
    OwnFile list;
    const Opened opened = openLocked(path, list);
    if (opened != Opened::Yes && opened != Opened::Missing)
        return false;
    std::string old;
    if (list.file.ok()) {
        // No item reaches further; the rest is copied as it stands.
        auto head = readUpTo(list.file.get(), kListReach);
        if (!head)
            return false;
        old = std::move(*head);
    }
    switch (replaceWhole(list, writeListImage(values, old))) {
    case Replaced::Yes:
        return true;
    case Replaced::No:
        return false;
    case Replaced::FolderTakesNoFile:
        break;
    }
    if (!list.file.ok()) {
        errno = EACCES;
        return false;
    }
    // Written in place, a file with a second name would change under that
    // name too.
    if (list.st.st_nlink != 1) {
        errno = EMLINK;
        return false;
    }
    return writeItemsInPlace(list.file.get(), values, old) && list.file.close();
}

} // namespace

ListFileState listFileState(const std::string& path) {
    OwnFile list;
    switch (openOwnFile(path, O_RDWR, list)) {
    case Opened::Yes:
        return ListFileState::Usable;
    case Opened::Missing:
        return ListFileState::Missing;
    case Opened::Refused:
    case Opened::Failed:
        break;
    }
    return ListFileState::Refused;
}

std::optional<ListFileBytes> readListFile(const std::string& path, std::size_t limit) {
    OwnFile list;
    if (openOwnFile(path, O_RDONLY, list) != Opened::Yes)
        return std::nullopt;
    auto bytes = readUpTo(list.file.get(), limit);
    if (!bytes)
        return std::nullopt;
    return ListFileBytes{std::move(*bytes), nanoseconds(list.st.st_mtim)};
}

bool createEmptyListFile(const std::string& path) {
    OwnFile list;
    switch (openOwnFile(path, O_RDONLY, list)) {
    case Opened::Yes:
        return true;
    case Opened::Missing: {
        Fd created(::openat(list.folder.get(), list.name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        return created.ok() && created.close();
    }
    case Opened::Refused:
    case Opened::Failed:
        break;
    }
    return false;
}

bool saveListFile(const std::string& path, const ListValues& values) {
    try {
        return save(path, values);
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return false;
    }
}

void markNewerThan(const std::string& path, const std::string& other) {
    OwnFile mine, theirs;
    if (openOwnFile(path, O_RDONLY, mine) != Opened::Yes ||
        openOwnFile(other, O_RDONLY, theirs) != Opened::Yes)
        return;
    const std::int64_t after = nanoseconds(theirs.st.st_mtim) + 1;
    if (nanoseconds(mine.st.st_mtim) >= after)
        return;
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(after / 1'000'000'000), static_cast<long>(after % 1'000'000'000)}};
    ::futimens(mine.file.get(), times);
}

} // namespace sheetmass
