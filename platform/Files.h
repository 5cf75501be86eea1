#pragma once

#include "platform/Error.h"
#include "platform/Handle.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace sheetmass::platform {

// Files on a machine that others share. Paths are UTF-8 where the system
// names files in Unicode, and the bytes it names them by elsewhere.

enum class Access { Read, ReadWrite };

// What is known of an opened file, as its handle tells it.
struct FileFacts {
    std::int64_t modified = 0; // nanoseconds since the epoch
    std::uint64_t names = 0;   // how many names (hard links) it has
};

// A regular file as found, with the folder it is found in and its name
// there: for a link the rule allows, its target's. `file` is not open when
// nothing has the name.
struct CheckedFile {
    Folder folder;
    std::string name;
    File file;
    FileFacts facts;
};

// Opens the file at `path`, trusting only what the user running the program or
// the system owns (root on POSIX; on Windows the system, the administrators and
// the installer's service), since only its owner can change where a path
// through it leads: every folder and link on the path, and the file, which on
// Windows must be the user's own. Each is judged on the handle it is opened as,
// from the root down, each opened by the descriptor (POSIX) or handle
// (Windows) of the folder above it, held meanwhile, so nothing another user
// swaps in meanwhile is read or written. A link, the file's or its folder's,
// is followed only when it is trusted and leads straight (no second link) to a
// file, or folder, of the user's own; the folders on the way there are judged
// the same way. Only a regular file is handed back, and nothing that waits to
// open (a FIFO, a device) is waited on. Failure::Missing: nothing has that name, and `folder`
// and `name` are set all the same; Failure::Refused: the rule refuses what is
// there.
[[nodiscard]] Error openChecked(const std::string& path, Access access, CheckedFile& out);

// Creates an empty file of that name in the folder, never through a link
// and never over anything that has the name; on Windows with the user's
// alone security.
[[nodiscard]] Error createNew(const Folder& folder, const std::string& name);
// The same, the file handed back open for writing, so that what goes into it
// goes into the very file made.
[[nodiscard]] Error createNew(const Folder& folder, const std::string& name, File& made);

// Takes a file createNew made away again, when what was to go into it did
// not: the file held, never another that has its name by then.
void removeMade(const Folder& folder, const std::string& name, const File& made);

// A file no name leads to, for this process alone, gone once it closes:
// room for what the program writes to a stream, to be read back.
[[nodiscard]] Error scratchFile(File& out);

// Up to `room` bytes from offset `at`, resuming after interruptions; `got`
// is 0 at the end of the file.
[[nodiscard]] Error readAt(const File& file, std::uint64_t at, char* to, std::size_t room,
                           std::size_t& got);

// All of `bytes` at offset `at`, resuming after short writes.
[[nodiscard]] Error writeAt(const File& file, std::string_view bytes, std::uint64_t at);

// Until the file's bytes are on the disk.
[[nodiscard]] Error sync(const File& file);

// The first run of bytes the file holds at `from` or after it, as [start,
// end); between runs lie holes, which read as zeros and take no disk.
// start == end == the file's size when no run follows. Where the file
// system keeps no holes, and on Windows, where only sparse files have them
// and no save makes one, the rest of the file is one run.
[[nodiscard]] Error nextData(const File& file, std::uint64_t from, std::uint64_t& start,
                             std::uint64_t& end);

// Makes the file at least `size` bytes long; what is added reads as zeros,
// on POSIX a hole, which takes no disk where the file system keeps holes.
[[nodiscard]] Error extendTo(const File& file, std::uint64_t size);

// A lock that only the user running the program can take, open or hold up
// (the system aside: root, or the system and the administrators): the file
// `name` in `folder`, made when missing, that no one else may open, in a
// folder of the user's that no one else may change, reached as openChecked
// reaches folders and not made. POSIX: the file with no group or other bits
// (made 0600), in a folder no group or other may write, locked by flock.
// Windows: the file made with the user's alone security, in a folder whose
// permissions let no one else change it, locked by a byte-range lock
// (LockFileEx) on a handle that lets others read the file, so that a reader
// (an indexer, a backup) holds up no save. Held until `held` closes. Waits no longer than `wait`
// for another of the user's processes: Failure::Busy then; Failure::Refused when the folder or the
// file is not private so.
[[nodiscard]] Error lockPrivately(const std::string& folder, const std::string& name,
                                  std::chrono::milliseconds wait, File& held);

// Sets the file's modification time, in nanoseconds since the epoch.
[[nodiscard]] Error setModified(const File& file, std::int64_t modified);

} // namespace sheetmass::platform
