// The rule for opening a name on a machine that others share: what is
// checked is what is opened, judged on the descriptor.
#include "platform/Files.h"

#include "platform/posix/Posix.h"

#include <climits>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {
namespace {

// O_NONBLOCK: should a FIFO be swapped in after the check, opening it must
// not wait for a writer.
constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

FileFacts factsOf(const struct stat& st) {
    return {std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            static_cast<std::uint64_t>(st.st_nlink)};
}

// The folder part and the last name of a path.
std::pair<std::string, std::string> split(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// A folder that may not be listed can still take a file.
int openFolder(int at, const char* name, int flags) {
    const int fd = ::openat(at, name, flags | O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != EACCES)
        return fd;
    return ::openat(at, name, flags | O_PATH | O_DIRECTORY | O_CLOEXEC);
}

Error refused() {
    return {Failure::Refused, EPERM};
}

// Failure::Missing says that the folder is open and the name missing from
// it; a name missing on the way there, or vanishing after it was seen, is
// another failure.
Error notMissing(Error error) {
    return error.failure() == Failure::Missing ? Error(Failure::Other, ENOENT) : error;
}
Error failed() {
    return notMissing(posix::lastError());
}

// `name` in the folder `at`: a regular file, or a folder when `isFolder`
// (then in `out.file`). `linked`: reached through a link, so it must be the
// user's own and no link itself. The folder and the name are kept when the
// name is missing.
Error openIn(Folder at, const std::string& name, int flags, bool isFolder, bool linked,
             CheckedFile& out) {
    if (name.empty() || name == "." || name == "..")
        return refused();
    const Handle path(::openat(posix::fd(at), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat named;
    if (!path.ok() && errno == ENOENT) {
        if (linked) // dangling: its target is never made
            return refused();
        out.folder = std::move(at);
        out.name = name;
        return {Failure::Missing, ENOENT};
    }
    if (!path.ok() || ::fstat(posix::fd(path), &named) != 0)
        return failed();
    if (S_ISLNK(named.st_mode)) {
        if (linked || (named.st_uid != ::geteuid() && named.st_uid != 0))
            return refused();
        // The text of the very link just judged, not of whatever has its name now.
        char text[PATH_MAX];
        const ssize_t n = ::readlinkat(posix::fd(path), "", text, sizeof text);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof text)
            return refused();
        const auto [folder, last] = split(std::string(text, static_cast<std::size_t>(n)));
        Folder targetFolder(openFolder(posix::fd(at), folder.c_str(), 0));
        if (!targetFolder.ok())
            return refused();
        return openIn(std::move(targetFolder), last, flags, isFolder, true, out);
    }
    if (!(isFolder ? S_ISDIR(named.st_mode) : S_ISREG(named.st_mode)) ||
        (linked && named.st_uid != ::geteuid()))
        return refused();
    struct stat st;
    File opened(isFolder ? openFolder(posix::fd(at), name.c_str(), O_NOFOLLOW)
                         : ::openat(posix::fd(at), name.c_str(), flags | kOpenFlags));
    if (!opened.ok() || ::fstat(posix::fd(opened), &st) != 0)
        return failed();
    if (!sameFile(named, st)) // swapped meanwhile
        return refused();
    out.folder = std::move(at);
    out.name = name;
    out.file = std::move(opened);
    out.facts = factsOf(st);
    return {};
}

} // namespace

Error openChecked(const std::string& path, Access access, CheckedFile& out) {
    const auto [folderPath, name] = split(path);
    CheckedFile folder;
    if (folderPath == "/") {
        folder.file = File(openFolder(AT_FDCWD, "/", 0));
    } else {
        const auto [parentPath, folderName] = split(folderPath);
        Folder parent(::open(parentPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!parent.ok())
            return failed();
        if (const Error error =
                openIn(std::move(parent), folderName, O_RDONLY, true, false, folder);
            !error.ok())
            return notMissing(error);
    }
    if (!folder.file.ok())
        return failed();
    return openIn(Folder(folder.file.release()), name,
                  access == Access::ReadWrite ? O_RDWR : O_RDONLY, false, false, out);
}

bool stillNamed(CheckedFile& out) {
    struct stat named, st;
    if (::fstatat(posix::fd(out.folder), out.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        ::fstat(posix::fd(out.file), &st) != 0)
        return false;
    out.facts = factsOf(st);
    return sameFile(named, st);
}

} // namespace sheetmass::platform
