#pragma once

// What the POSIX side of the seam shares; no other room sees it.

#include "platform/Error.h"
#include "platform/Handle.h"

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace sheetmass::platform::posix {

inline int fd(const Handle& handle) {
    return static_cast<int>(handle.native());
}
inline int fd(Stream stream) {
    return static_cast<int>(stream.native());
}

// The failure errno names.
Error errorOf(int number);
inline Error lastError() {
    return errorOf(errno);
}

// What may be trusted on a machine that others share: what belongs to the
// user running the program or to root.
bool trusted(unsigned owner);

// The folder at `path` (relative: to `from`), reached one name at a time by
// descriptor, each folder and link on the way trusted; a link counts as the
// folder it names, reached the same way. Missing folders are made, only the
// user's, when `make`. The folder may be open for nothing but naming what
// is in it.
Error openTrustedFolder(int from, const std::string& path, bool make, Folder& out);

// One read, `read()` giving what read(2) gives, again when interrupted.
template <typename Read> Error readOnce(Read read, std::size_t& got) {
    for (;;) {
        const ssize_t n = read();
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return {};
        }
        if (errno != EINTR)
            return lastError();
    }
}

// All of `bytes`, `write(part, done)` giving what write(2) gives for the
// part that begins `done` bytes in: again when interrupted, on from where a
// short write stopped.
template <typename Write> Error writeWhole(std::string_view bytes, Write write) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(bytes.substr(done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        if (n == 0)
            return errorOf(EIO);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace sheetmass::platform::posix
