#pragma once

#include "listfile/ListImage.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sheetmass {

// List.abc on disk. Paths are the bytes the system names files by.

// No item of List.abc reaches further into the file than this.
inline constexpr std::size_t kListReach = itemAt(Input::Alloy) + kItemHead + kMaxTextBytes;

struct ListFileBytes {
    std::string bytes;     // at most the limit asked for
    std::int64_t modified; // nanoseconds since the epoch
};

// Every function here opens List.abc by the seam's one rule
// (platform::openChecked): only a file of the user running the program, or
// of root, reached through folders and links of theirs, is read or
// written; a symbolic link is followed only when it leads straight to a
// regular file of that user's own; nothing but a regular file is opened, so
// FIFOs, devices, sockets and folders are refused at once, without waiting
// on them. What is checked is the opened handle, so nothing swapped in
// meanwhile is read or written.

enum class ListFileState {
    Missing, // nothing of that name
    Usable,  // a file the rule allows, open for reading and writing
    Refused, // anything else
};
ListFileState listFileState(const std::string& path);

// Up to `limit` bytes from the start of the file.
std::optional<ListFileBytes> readListFile(const std::string& path, std::size_t limit);

// Creates an empty file unless something of that name exists (a link is
// never followed to make one); true when a file the rule allows is there
// afterwards.
bool createEmptyListFile(const std::string& path);

// Writes the values over the file as it is now. Where its folder takes a
// new file, the new bytes go to a file beside it that then replaces it, so
// a failure anywhere leaves the old file whole; bytes beyond the items are
// copied a piece at a time where the file holds data, so that holes stay
// holes, whatever the file's size. Where the folder
// takes none but the file may be written, only the items are written, at
// their offsets: the file is never truncated nor shortened, and never
// written when it has another name too. A link the rule allows stays: its
// target is saved, in the target's folder. The saved file carries no
// set-id or sticky bit. After the rename the name must lead to the file
// written, or the save has failed. Temporary files of earlier saves
// that were killed are removed. False when the values are not saved, a
// failed allocation among the reasons; `why` then tells the user's reason.
// The caller keeps the saves of several copies of the program apart.
enum class SaveFailure {
    None,
    ReadOnly, // the file, or its file system, may be read and not written
    Full,     // no room on the disk
    Denied,   // neither read nor written: no permission
    Busy,     // held by another program
    Refused,  // not a regular file of the user's own, or one with two names
    Other,
};
bool saveListFile(const std::string& path, const ListValues& values, SaveFailure* why = nullptr);

// Moves the file's modification time past the other's when the other's is
// not earlier (a copy from a machine whose clock ran ahead), so that the
// file counts as saved last.
void markNewerThan(const std::string& path, const std::string& other);

} // namespace sheetmass
