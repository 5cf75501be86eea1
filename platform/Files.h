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

// Opens the file at `path`. Only what belongs to the user running the
// program or to root is trusted: the file, and every folder and link on
// its path, each opened by its handle from the root down. A symbolic link,
// the file's or its folder's, is followed only when it is trusted and leads
// straight (no second link) to a file, or folder, of that user's own.
// Nothing but a regular file is ever opened, so no FIFO or device is waited
// on. What is checked is the opened handle, so nothing another user swaps
// in meanwhile is read or written. Failure::Missing: nothing has that name,
// and `folder` and `name` are set all the same; Failure::Refused: the rule
// refuses what is there.
[[nodiscard]] Error openChecked(const std::string& path, Access access, CheckedFile& out);

// Creates an empty file of that name in the folder, never through a link
// and never over anything that has the name.
[[nodiscard]] Error createNew(const Folder& folder, const std::string& name);

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
// start == end == the file's size when no run follows. Where the system
// keeps no holes, the rest of the file is one run.
[[nodiscard]] Error nextData(const File& file, std::uint64_t from, std::uint64_t& start,
                             std::uint64_t& end);

// Makes the file at least `size` bytes long; what is added reads as zeros
// and, where the system can, takes no disk.
[[nodiscard]] Error extendTo(const File& file, std::uint64_t size);

// A lock that only the user running the program can take, open or hold up:
// the file `name` in `folder`, made when missing, that no one else may
// open, in a folder of the user's that no one else may change (reached as
// openChecked reaches folders). Held until `held` closes. Waits no longer
// than `wait` for another of the user's processes: Failure::Busy then;
// Failure::Refused when the folder or the file is not private so.
[[nodiscard]] Error lockPrivately(const std::string& folder, const std::string& name,
                                  std::chrono::milliseconds wait, File& held);

// Sets the file's modification time, in nanoseconds since the epoch.
[[nodiscard]] Error setModified(const File& file, std::int64_t modified);

} // namespace sheetmass::platform
