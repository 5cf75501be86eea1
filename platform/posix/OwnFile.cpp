// The rule for opening a name on a machine that others share: what is
// checked is what is opened, judged on the descriptor.
#include "platform/Files.h"

#include "platform/posix/Posix.h"

#include <climits>
#include <optional>
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

// How many links one path may pass, as the system allows.
constexpr int kMostLinks = 40;

std::optional<std::string> linkText(const Handle& link) {
    char text[PATH_MAX];
    const ssize_t n = ::readlinkat(posix::fd(link), "", text, sizeof text);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof text)
        return std::nullopt;
    return std::string(text, static_cast<std::size_t>(n));
}

Error walk(int from, const std::string& path, bool make, int& links, Folder& out) {
    Folder at(::openat(path.starts_with('/') ? AT_FDCWD : from, path.starts_with('/') ? "/" : ".",
                       O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat st;
    if (!at.ok() || ::fstat(posix::fd(at), &st) != 0)
        return failed();
    if (!posix::trusted(st.st_uid))
        return refused();
    for (std::size_t start = 0; start < path.size();) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string name = path.substr(start, slash - start);
        start = slash + 1;
        if (name.empty() || name == ".")
            continue;
        Handle next(::openat(posix::fd(at), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!next.ok() && errno == ENOENT && make &&
            (::mkdirat(posix::fd(at), name.c_str(), 0700) == 0 || errno == EEXIST))
            next = Handle(::openat(posix::fd(at), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!next.ok() || ::fstat(posix::fd(next), &st) != 0)
            return failed();
        if (!posix::trusted(st.st_uid))
            return refused();
        if (S_ISLNK(st.st_mode)) {
            const auto text = linkText(next);
            if (!text || --links < 0)
                return refused();
            Folder target;
            if (const Error error = walk(posix::fd(at), *text, make, links, target); !error.ok())
                return error;
            at = std::move(target);
        } else if (S_ISDIR(st.st_mode)) {
            at = Folder(next.release());
        } else {
            return {Failure::Other, ENOTDIR};
        }
    }
    out = std::move(at);
    return {};
}

// The folder the last part of a path lies in, opened so that it can be
// written to where that is allowed.
Error openTrusted(int from, const std::string& path, int& links, Folder& out) {
    Folder reached;
    if (const Error error = walk(from, path, false, links, reached); !error.ok())
        return error;
    Folder readable(openFolder(posix::fd(reached), ".", 0));
    out = readable.ok() ? std::move(readable) : std::move(reached);
    return {};
}

// `name` in the folder `at`: a regular file, or a folder when `isFolder`
// (then in `out.file`), trusted. `linked`: reached through a link, so it
// must be the user's own and no link itself. The folder and the name are
// kept when the name is missing.
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
        if (linked || !posix::trusted(named.st_uid))
            return refused();
        // The text of the very link just judged, not of whatever has its name now.
        const auto text = linkText(path);
        if (!text)
            return refused();
        const auto [folder, last] = split(*text);
        Folder targetFolder;
        int links = kMostLinks;
        if (!openTrusted(posix::fd(at), folder, links, targetFolder).ok())
            return refused();
        return openIn(std::move(targetFolder), last, flags, isFolder, true, out);
    }
    if (!(isFolder ? S_ISDIR(named.st_mode) : S_ISREG(named.st_mode)) ||
        !posix::trusted(named.st_uid) || (linked && named.st_uid != ::geteuid()))
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

namespace posix {

bool trusted(unsigned owner) {
    return owner == ::geteuid() || owner == 0;
}

Error openTrustedFolder(int from, const std::string& path, bool make, Folder& out) {
    int links = kMostLinks;
    return walk(from, path, make, links, out);
}

} // namespace posix

Error openChecked(const std::string& path, Access access, CheckedFile& out) {
    const auto [folderPath, name] = split(path);
    CheckedFile folder;
    if (folderPath == "/") {
        folder.file = File(openFolder(AT_FDCWD, "/", 0));
    } else {
        const auto [parentPath, folderName] = split(folderPath);
        Folder parent;
        int links = kMostLinks;
        if (const Error error = openTrusted(AT_FDCWD, parentPath, links, parent); !error.ok())
            return notMissing(error);
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

} // namespace sheetmass::platform
