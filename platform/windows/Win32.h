#pragma once

// What the Windows side of the seam shares; no other room sees it.

#include "platform/Error.h"
#include "platform/Handle.h"

#include <string>
#include <string_view>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The system's own names for how a file is opened: FILE_OPEN, FILE_CREATE, …
#include <winternl.h>

namespace sheetmass::platform::win32 {

inline HANDLE handle(const Handle& h) {
    return reinterpret_cast<HANDLE>(h.native());
}
inline HANDLE handle(Stream stream) {
    return reinterpret_cast<HANDLE>(stream.native());
}
inline Native native(HANDLE h) {
    return reinterpret_cast<Native>(h);
}

// Any handle here lets others read, write, rename and remove the file, as
// every program does, unless it says otherwise: this save never keeps
// another from its own.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The failure a Win32 error code names.
Error errorOf(DWORD code);
inline Error lastError() {
    return errorOf(::GetLastError());
}

// UTF-8 and the system's UTF-16. A text that is not well formed gives an
// empty result (so no file of that name is ever asked for).
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// The full name the system has for an open file or folder now.
std::wstring pathOf(HANDLE h);

// `name` in the open `folder`, looked up in that very folder by its handle,
// as openat does on POSIX, whatever its path is by then; an empty name
// opens the folder itself again. The system's own disposition and options
// (FILE_OPEN, FILE_CREATE, FILE_OPEN_IF; FILE_DIRECTORY_FILE,
// FILE_NON_DIRECTORY_FILE, FILE_OPEN_REPARSE_POINT); the handle is
// synchronous, as CreateFileW makes one. INVALID_HANDLE_VALUE, with the
// system's error set, when it fails.
HANDLE openAt(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
              ULONG disposition, ULONG options);

// The same, for what may be made: made with privateSecurity(), or not at
// all when the user cannot be told.
HANDLE makeAt(HANDLE folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
              ULONG disposition, ULONG options);

// Gives the open file the name `name` in the open folder, by their handles,
// never over anything that has the name; with `over`, in the place of what
// has it, in one step even while that is held open, where the system can
// (Windows 10 1809 on, on NTFS): elsewhere false with ERROR_NOT_SUPPORTED.
// False with the system's error otherwise.
bool renameAt(HANDLE file, HANDLE folder, std::wstring_view name, bool over);

// Names that open a device, not a file (CON, NUL, COM1, LPT1, … with any
// extension, in any folder), and names Windows would change on the way
// (trailing dots or blanks): never a name of a file of ours.
bool isDeviceOrAltered(std::wstring_view name);

// Whether the handle's object belongs to the user running the program; with
// `orSystem`, to the system or the administrators too (what root is on
// POSIX).
bool ownedByUser(HANDLE h, bool orSystem = false);

// Volume serial and file index: the C runtime's st_ino is 0 for every file.
inline bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// What others may not do to a folder of the user's: add to it, or change
// or remove it or what is in it.
inline constexpr ACCESS_MASK kChanges = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD |
                                        DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                        GENERIC_ALL;
// What others may not do to a lock: open it for anything that a handle
// shared with no one would keep from the user.
inline constexpr ACCESS_MASK kOpens =
    kChanges | FILE_READ_DATA | FILE_EXECUTE | GENERIC_READ | GENERIC_EXECUTE;

// Whether the handle's object is the user's, and nobody but the user, the
// system and the administrators may do any of `denied` to it, by its
// permissions.
bool privateToUser(HANDLE h, ACCESS_MASK denied = kChanges);

// The security a folder or file of the user's alone is made with: owned by
// the user, whose alone are all rights on it and, for a folder, passed on
// to what is made in it; protected, so that nothing the folder above it
// allows others comes in. Null when the user cannot be told, and then
// nothing is made.
enum class Made { File, Folder };
SECURITY_ATTRIBUTES* privateSecurity(Made made);

// The folder at `path`, walked from the root: each folder and link on the
// way opened by the handle of the folder above it, held while the next is
// opened, and its owner checked on the handle (the user, the system or the
// administrators), a link counting as the folder it names, reached the same
// way. Missing folders are made with privateSecurity() when `make`.
Error openTrustedFolder(const std::string& path, bool make, Folder& out);

} // namespace sheetmass::platform::win32
