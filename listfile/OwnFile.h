#pragma once

#include <string>

#include <sys/stat.h>

namespace sheetmass {

// Opening a name on a machine that others share: what is checked is what is
// opened, judged on the descriptor, so that nothing another user swaps in
// meanwhile is ever written.

// Closes on every way out.
class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd();
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // close(2) can report a failed write-back; keep that.
    bool close();

  private:
    int m_fd;
};

enum class Opened {
    Yes,
    Missing, // nothing has that name; `folder` is open all the same
    Refused, // a name the link rule refuses, a FIFO, a device, a folder
    Failed,  // errno says why: no access, for one
};

// A regular file as found, with the folder it is found in and its name
// there: for a link the rule allows, its target's.
struct OwnFile {
    Fd folder;
    std::string name;
    Fd file;
    struct stat st {};
};

// Opens the file at `path` with `flags` (O_RDONLY or O_RDWR). A symbolic
// link, the file's or its folder's, is followed only when it belongs to the
// user running the program or to root and leads straight (no second link)
// to a file, or folder, of that user's. Nothing but a regular file is ever
// opened, so no FIFO or device is waited on.
Opened openOwnFile(const std::string& path, int flags, OwnFile& out);

// Whether the name in the folder still leads to the file `out` holds, with
// `out.st` brought up to date: another process may have renamed a new file
// over it.
bool stillNamed(OwnFile& out);

} // namespace sheetmass
