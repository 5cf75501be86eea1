#pragma once

#include "app/ListImage.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sheetmass {

// List.abc on disk. Paths are the bytes the system names files by.

// No item of List.abc reaches further into the file than this.
inline constexpr std::size_t kListReach = kAlloyAt + kItemHead + kMaxTextBytes;

struct ListFileBytes {
    std::string bytes;     // at most the limit asked for
    std::int64_t modified; // nanoseconds since the epoch
};

// Up to `limit` bytes from the start of a regular file. FIFOs, devices,
// sockets and folders are refused at once, without waiting on them.
std::optional<ListFileBytes> readListFile(const std::string& path, std::size_t limit);

// Creates an empty file unless something of that name exists; true when a
// regular file is there afterwards.
bool createEmptyListFile(const std::string& path);

// Writes the values over the file as it is now. Where its folder takes a
// new file, the new bytes go to a file beside it that then replaces it, so
// a failure anywhere leaves the old file whole. Where the folder takes none
// but the file may be written, only the items are written, at their
// offsets: the file is never truncated nor shortened. False, with errno
// set, when the values are not saved.
bool saveListFile(const std::string& path, const ListValues& values);

// Moves the file's modification time past the other's when the other's is
// not earlier (a copy from a machine whose clock ran ahead), so that the
// file counts as saved last.
void markNewerThan(const std::string& path, const std::string& other);

} // namespace sheetmass
