#include "listfile/OwnFile.h"

#include <cerrno>
#include <climits>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace sheetmass {

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Fd old(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Fd::~Fd() {
    if (m_fd >= 0) {
        const int saved = errno;
        ::close(m_fd);
        errno = saved;
    }
}

bool Fd::close() {
    return ::close(release()) == 0;
}

namespace {

// O_NONBLOCK: should a FIFO be swapped in after the check, opening it must
// not wait for a writer.
constexpr int kOpenFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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

Opened refused() {
    errno = EPERM;
    return Opened::Refused;
}

// `name` in the folder `at`: a regular file, or a folder when `isFolder`.
// `linked`: reached through a link, so it must be the user's own and no
// link itself.
Opened openIn(Fd at, const std::string& name, int flags, bool isFolder, bool linked, OwnFile& out) {
    if (name.empty() || name == "." || name == "..")
        return refused();
    Fd path(::openat(at.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!path.ok() && errno == ENOENT) {
        if (linked) // dangling: its target is never made
            return refused();
        out.folder = std::move(at);
        out.name = name;
        return Opened::Missing;
    }
    if (!path.ok() || ::fstat(path.get(), &st) != 0)
        return Opened::Failed;
    if (S_ISLNK(st.st_mode)) {
        if (linked || (st.st_uid != ::geteuid() && st.st_uid != 0))
            return refused();
        // The text of the very link just judged, not of whatever has its name now.
        char text[PATH_MAX];
        const ssize_t n = ::readlinkat(path.get(), "", text, sizeof text);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof text)
            return refused();
        const auto [folder, last] = split(std::string(text, static_cast<std::size_t>(n)));
        Fd targetFolder(openFolder(at.get(), folder.c_str(), 0));
        if (!targetFolder.ok())
            return refused();
        return openIn(std::move(targetFolder), last, flags, isFolder, true, out);
    }
    if (!(isFolder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) ||
        (linked && st.st_uid != ::geteuid()))
        return refused();
    Fd opened(isFolder ? openFolder(at.get(), name.c_str(), O_NOFOLLOW)
                       : ::openat(at.get(), name.c_str(), flags | kOpenFlags));
    if (!opened.ok() || ::fstat(opened.get(), &out.st) != 0)
        return Opened::Failed;
    if (!sameFile(st, out.st)) // swapped meanwhile
        return refused();
    out.folder = std::move(at);
    out.name = name;
    out.file = std::move(opened);
    return Opened::Yes;
}

} // namespace

Opened openOwnFile(const std::string& path, int flags, OwnFile& out) {
    const auto [folderPath, name] = split(path);
    OwnFile folder;
    if (folderPath == "/") {
        folder.file = Fd(openFolder(AT_FDCWD, "/", 0));
    } else {
        const auto [parentPath, folderName] = split(folderPath);
        Fd parent(::open(parentPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!parent.ok())
            return Opened::Failed;
        switch (openIn(std::move(parent), folderName, O_RDONLY, true, false, folder)) {
        case Opened::Yes:
            break;
        case Opened::Missing:
            errno = ENOENT;
            return Opened::Failed;
        case Opened::Refused:
            return Opened::Refused;
        case Opened::Failed:
            return Opened::Failed;
        }
    }
    if (!folder.file.ok())
        return Opened::Failed;
    return openIn(std::move(folder.file), name, flags, false, false, out);
}

bool stillNamed(OwnFile& out) {
    struct stat named;
    return ::fstatat(out.folder.get(), out.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(out.file.get(), &out.st) == 0 && sameFile(named, out.st);
}

} // namespace sheetmass
