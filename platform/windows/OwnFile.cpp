// The rule for opening a name on a machine that others share: what is
// checked is what is opened, judged on the handle. A link here is a
// reparse point that stands for another name (a symbolic link or a
// junction); other reparse points (a cloud file, a deduplicated one) are
// files like any.
#include "platform/Files.h"

#include "platform/windows/Win32.h"

#include <winioctl.h>

#include <cstring>
#include <utility>
#include <vector>

namespace sheetmass::platform {
namespace {

using win32::handle;
using win32::native;

using win32::kShareAll;

// What a name is, asked of its handle alone: the volume's serial, which
// only telling two files apart needs, costs a round trip to another
// process under Wine.
bool lookAt(HANDLE h, FILE_ATTRIBUTE_TAG_INFO& out) {
    return ::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &out, sizeof out);
}

struct Identity {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_ATTRIBUTE_TAG_INFO tag{};
};

bool identify(HANDLE h, Identity& out) {
    return ::GetFileInformationByHandle(h, &out.info) && lookAt(h, out.tag);
}

bool factsOf(HANDLE h, FileFacts& out) {
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    if (!::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard))
        return false;
    // 100-nanosecond ticks since 1601, to nanoseconds since 1970.
    constexpr std::int64_t kEpoch = 116'444'736'000'000'000;
    out = {(basic.LastWriteTime.QuadPart - kEpoch) * 100, standard.NumberOfLinks};
    return true;
}

bool isLink(const FILE_ATTRIBUTE_TAG_INFO& tag) {
    return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           IsReparseTagNameSurrogate(tag.ReparseTag);
}

Error refused() {
    return {Failure::Refused, ERROR_ACCESS_DENIED};
}

// Failure::Missing says that the folder is open and the name missing from
// it; a name missing on the way there, or vanishing after it was seen, is
// another failure.
Error notMissing(Error error) {
    return error.failure() == Failure::Missing ? Error(Failure::Other, ERROR_PATH_NOT_FOUND)
                                               : error;
}
Error failed() {
    return notMissing(win32::lastError());
}

// A drive's or a share's name as the user writes it, without the system's
// long-name prefix; a volume's name keeps it.
std::wstring plain(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\") && path.size() > 5 && path[5] == L':')
        return path.substr(4);
    return path;
}

// The full name: relative names against the current folder, as every
// program takes them, "." and ".." put in their places, without the long-name
// prefix. Names in the device
// namespace (\\.\, \\?\GLOBALROOT) are none of a file's: empty for them.
std::wstring fullPath(const std::wstring& named) {
    const std::wstring given = plain(named);
    const DWORD n = given.empty() ? 0 : ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    if (n == 0 || ::GetFullPathNameW(given.c_str(), n, full.data(), nullptr) >= n)
        return {};
    full.resize(n - 1);
    const bool device = full.starts_with(L"\\\\.\\") ||
                        (full.starts_with(L"\\\\?\\") && !(full.size() > 6 && full[5] == L':') &&
                         !full.starts_with(L"\\\\?\\UNC\\"));
    return device ? std::wstring() : full;
}

// What a link names, as a full name: a relative one against the folder it
// lies in. Empty for anything else.
std::wstring linkTarget(HANDLE link, HANDLE folder) {
    std::vector<BYTE> buffer(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD got = 0;
    if (!::DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &got, nullptr) ||
        got < 16)
        return {};
    // The reparse data's head, then the tag's own head and its names.
    const auto word = [&](std::size_t at) {
        WORD w;
        std::memcpy(&w, buffer.data() + at, sizeof w);
        return w;
    };
    DWORD tag, flags = 0;
    std::memcpy(&tag, buffer.data(), sizeof tag);
    std::size_t names;
    if (tag == IO_REPARSE_TAG_SYMLINK) {
        std::memcpy(&flags, buffer.data() + 16, sizeof flags);
        names = 20;
    } else if (tag == IO_REPARSE_TAG_MOUNT_POINT) {
        names = 16;
    } else {
        return {};
    }
    const std::size_t offset = names + word(8), length = word(10);
    if (offset + length > got)
        return {};
    std::wstring text(length / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), buffer.data() + offset, length);
    if (flags & 1) // SYMLINK_FLAG_RELATIVE
        return fullPath(win32::pathOf(folder) + L'\\' + text);
    if (text.starts_with(L"\\??\\"))
        text[1] = L'\\';
    return text.empty() ? text : fullPath(text);
}

std::pair<std::wstring, std::wstring> split(const std::wstring& path) {
    const auto separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return {L".", path};
    return {path.substr(0, separator), path.substr(separator + 1)};
}

constexpr ACCESS_MASK kLook = FILE_READ_ATTRIBUTES | READ_CONTROL;

// A folder, or a link, on the way, opened by the handle of the folder it is
// in: what it is, its owner and, for a link, what it names. A folder may be
// listed where the user may list it (for the leftovers), else only reached.
Handle stepAt(HANDLE at, const std::wstring& name, ULONG options = FILE_OPEN_REPARSE_POINT) {
    HANDLE h = win32::openAt(at, name, kLook | FILE_LIST_DIRECTORY, kShareAll, FILE_OPEN, options);
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED)
        h = win32::openAt(at, name, kLook, kShareAll, FILE_OPEN, options);
    return Handle(native(h));
}

// The probe of a name: what it is, its owner and, for a link, what it
// names, never what it leads to.
Handle probeAt(HANDLE at, const std::wstring& name) {
    return Handle(
        native(win32::openAt(at, name, kLook, kShareAll, FILE_OPEN, FILE_OPEN_REPARSE_POINT)));
}

// Where the walk starts: the end of a drive's root ("C:"), a share's
// ("\\server\share") or a volume's; npos when the path is no more than that.
std::size_t rootEnd(const std::wstring& path) {
    const std::size_t start = path.find_first_of(L"\\/", 2);
    if (!path.starts_with(L"\\\\") || start == std::wstring::npos)
        return start;
    return path.find_first_of(L"\\/", start + 1);
}

bool isRoot(const std::wstring& path) {
    const std::size_t end = rootEnd(path);
    return end == std::wstring::npos || end + 1 >= path.size();
}

// A root is opened by its name, with its separator ("C:" alone is the
// drive's current folder); it is the system's, and no link.
Folder openRoot(const std::wstring& path) {
    const std::wstring root = path.substr(0, rootEnd(path)) + L'\\';
    const auto open = [&](DWORD access) {
        return Folder(native(::CreateFileW(root.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    };
    Folder folder = open(kLook | FILE_LIST_DIRECTORY);
    return folder.ok() || ::GetLastError() != ERROR_ACCESS_DENIED ? std::move(folder) : open(kLook);
}

// How many links one path may pass, as the system allows.
constexpr int kMostLinks = 31;

Error walk(const std::wstring& path, bool make, int& links, Folder& out);

// One step of the walk: `at`, held meanwhile, gives way to the folder
// `name` in it, or to the one a link there names, reached by the same walk.
// Only the user or the system may own what is on the way: only they can
// change what the path leads to. A missing folder is made when `make`,
// unless its name is one Windows would change.
Error stepInto(Folder& at, const std::wstring& name, bool make, int& links) {
    if (name == L"..") // a full name has none
        return refused();
    Handle step = stepAt(handle(at), name);
    if (!step.ok() && ::GetLastError() == ERROR_FILE_NOT_FOUND && make &&
        !win32::isDeviceOrAltered(name)) {
        step = Handle(
            native(win32::makeAt(handle(at), name, kLook | FILE_LIST_DIRECTORY, kShareAll,
                                 FILE_CREATE, FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT)));
        if (!step.ok() && ::GetLastError() == ERROR_ALREADY_EXISTS)
            step = stepAt(handle(at), name);
    }
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!step.ok() || !lookAt(handle(step), tag))
        return failed();
    if (!win32::ownedByUser(handle(step), true))
        return refused();
    if (isLink(tag)) {
        const std::wstring target = linkTarget(handle(step), handle(at));
        if (target.empty() || --links < 0)
            return refused();
        return walk(target, make, links, at);
    }
    if (!(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {Failure::Other, ERROR_DIRECTORY};
    at = Folder(step.release());
    return {};
}

// The folder at the full name `path`, walked from its root down, one name
// at a time, each opened by the handle of the folder above it.
Error walk(const std::wstring& path, bool make, int& links, Folder& out) {
    Folder at = openRoot(path);
    if (!at.ok())
        return failed();
    for (std::size_t start = rootEnd(path); start != std::wstring::npos && start < path.size();) {
        const std::size_t end = path.find_first_of(L"\\/", start + 1);
        const std::wstring name = path.substr(start + 1, end - start - 1);
        start = end;
        if (name.empty() || name == L".")
            continue;
        if (const Error error = stepInto(at, name, make, links); !error.ok())
            return error;
    }
    out = std::move(at);
    return {};
}

// A name in an open folder and what is asked of it: a regular file of the
// user's own opened with `access`, or a folder when `isFolder`. `linked`:
// reached through a link, so it must be no link itself.
struct Wanted {
    HANDLE folder;
    std::wstring name;
    DWORD access;
    bool isFolder;
    bool linked;

    File open(ULONG options) const {
        if (isFolder)
            return File(stepAt(folder, name, options).release());
        return File(native(win32::openAt(folder, name, access | kLook, kShareAll, FILE_OPEN,
                                         FILE_NON_DIRECTORY_FILE | options)));
    }
    // A disk file or folder of the kind asked for, the user's own (or the
    // system's, for a folder not reached through a link).
    bool fits(HANDLE h, DWORD attributes) const {
        return bool(attributes & FILE_ATTRIBUTE_DIRECTORY) == isFolder &&
               ::GetFileType(h) == FILE_TYPE_DISK && win32::ownedByUser(h, isFolder && !linked);
    }
};

Error keep(Folder at, const Wanted& wanted, File opened, CheckedFile& out) {
    out.folder = std::move(at);
    out.name = win32::utf8(wanted.name);
    out.file = std::move(opened);
    return {};
}

Error openIn(Folder at, const std::wstring& name, DWORD access, bool isFolder, bool linked,
             CheckedFile& out);

// Only a link of the user's or the system's is followed, to a name of the
// user's own that is no link, in a folder the walk reaches from the root.
Error follow(HANDLE link, const Wanted& wanted, CheckedFile& out) {
    if (wanted.linked || !win32::ownedByUser(link, true))
        return refused();
    const auto [folder, last] = split(linkTarget(link, wanted.folder));
    if (last.empty())
        return refused();
    int links = kMostLinks;
    Folder targetFolder;
    if (!walk(folder, false, links, targetFolder).ok())
        return refused();
    return openIn(std::move(targetFolder), last, wanted.access, wanted.isFolder, true, out);
}

// A name that is a reparse point, or missing: looked at before it is
// opened, and the name opened then is the one looked at.
Error openLookedAt(Folder at, const Wanted& wanted, CheckedFile& out) {
    const Handle named = probeAt(wanted.folder, wanted.name);
    Identity seen;
    if (!named.ok() && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        if (wanted.linked) // dangling: its target is never made
            return refused();
        out.folder = std::move(at);
        out.name = win32::utf8(wanted.name);
        return {Failure::Missing, ERROR_FILE_NOT_FOUND};
    }
    if (!named.ok() || !identify(handle(named), seen))
        return failed();
    if (isLink(seen.tag))
        return follow(handle(named), wanted, out);
    if (!wanted.fits(handle(named), seen.tag.FileAttributes))
        return refused();
    // A reparse point that is no link (a cloud file) opens as what it holds;
    // should a link be swapped in meanwhile, the identity below tells.
    const ULONG options =
        seen.tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? 0 : FILE_OPEN_REPARSE_POINT;
    File opened = wanted.open(options);
    Identity id;
    if (!opened.ok() || !identify(handle(opened), id) || !factsOf(handle(opened), out.facts))
        return failed();
    if (!win32::sameFile(seen.info, id.info)) // swapped meanwhile
        return refused();
    return keep(std::move(at), wanted, std::move(opened), out);
}

// `name` in the folder `at`, as Wanted says (a folder then in `out.file`).
// The folder and the name are kept when the name is missing.
Error openIn(Folder at, const std::wstring& name, DWORD access, bool isFolder, bool linked,
             CheckedFile& out) {
    if (win32::isDeviceOrAltered(name) || name == L"..")
        return refused();
    const Wanted wanted{handle(at), name, access, isFolder, linked};
    // Most names are no reparse point: opened as they are, with no look
    // first, they are judged on the very handle. Any other is looked at
    // before it is opened.
    File opened = wanted.open(FILE_OPEN_REPARSE_POINT);
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!opened.ok() || !lookAt(handle(opened), tag) ||
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return openLookedAt(std::move(at), wanted, out);
    if (!wanted.fits(handle(opened), tag.FileAttributes))
        return refused();
    if (!factsOf(handle(opened), out.facts))
        return failed();
    return keep(std::move(at), wanted, std::move(opened), out);
}

// A file's full name; empty for a name the rule refuses.
std::wstring fullName(const std::string& path) {
    const std::wstring given = win32::wide(path);
    // Judged as given: the full name has dropped a trailing dot or blank.
    if (given.empty() || win32::isDeviceOrAltered(split(given).second))
        return {};
    return fullPath(given);
}

// The folder the file is in, every folder on the way the user's or the
// system's, the last by the rule for links; a drive's root or a share is no
// link.
Error openFolderOf(const std::wstring& folderPath, CheckedFile& folder) {
    if (rootEnd(folderPath) == std::wstring::npos) {
        folder.file = File(openRoot(folderPath).release());
        return folder.file.ok() ? Error() : failed();
    }
    const auto [parentPath, folderName] = split(folderPath);
    int links = kMostLinks;
    Folder parent;
    if (const Error error = walk(parentPath, false, links, parent); !error.ok())
        return notMissing(error);
    if (const Error error = openIn(std::move(parent), folderName, 0, true, false, folder);
        !error.ok())
        return notMissing(error);
    return folder.file.ok() ? Error() : failed();
}

} // namespace

namespace win32 {

Error openTrustedFolder(const std::string& path, bool make, Folder& out) {
    std::wstring full = fullPath(wide(path));
    while (full.ends_with(L'\\') && !isRoot(full))
        full.pop_back();
    if (full.empty())
        return refused();
    int links = kMostLinks;
    if (const Error error = walk(full, make, links, out); !error.ok())
        return error;
    // A root alone is judged as the folders below it are.
    return !isRoot(full) || ownedByUser(handle(out), true) ? Error() : refused();
}

} // namespace win32

Error openChecked(const std::string& path, Access access, CheckedFile& out) {
    const std::wstring full = fullName(path);
    if (full.empty())
        return refused();
    const auto [folderPath, name] = split(full);
    CheckedFile folder;
    if (const Error error = openFolderOf(folderPath, folder); !error.ok())
        return error;
    const DWORD rights = access == Access::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    return openIn(Folder(folder.file.release()), name, rights, false, false, out);
}

} // namespace sheetmass::platform
