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

// Any handle here lets others read, write, rename and remove the file, as
// every program does: this save never keeps another from its own.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

// What a link names: the path it stands for, relative ones against the
// folder it lies in. Empty for anything else.
std::wstring linkText(HANDLE link, const std::wstring& folder) {
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
        return folder + L'\\' + text;
    if (text.starts_with(L"\\??\\"))
        text[1] = L'\\';
    return text;
}

std::pair<std::wstring, std::wstring> split(const std::wstring& path) {
    const auto separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return {L".", path};
    return {path.substr(0, separator), path.substr(separator + 1)};
}

HANDLE openByName(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
    return ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Folders are held without letting them be renamed or removed, so that the
// name made in one lands in the folder judged.
Folder openFolder(const std::wstring& path, DWORD flags) {
    return Folder(
        native(openByName(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_FLAG_BACKUP_SEMANTICS | flags)));
}

// The probe of a name: what it is, its owner and, for a link, what it
// names, never what it leads to.
Handle probe(const std::wstring& path) {
    return Handle(native(openByName(path, FILE_READ_ATTRIBUTES | READ_CONTROL, kShareAll,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS)));
}

// A name in an open folder and what is asked of it: a regular file of the
// user's own opened with `access`, or a folder when `isFolder`. `linked`:
// reached through a link, so it must be no link itself.
struct Wanted {
    std::wstring folderPath;
    std::wstring name;
    DWORD access;
    bool isFolder;
    bool linked;

    std::wstring path() const {
        return folderPath + (folderPath.ends_with(L'\\') ? L"" : L"\\") + name;
    }
    File open(DWORD flags) const {
        return File(isFolder
                        ? openFolder(path(), flags).release()
                        : native(openByName(path(), access | READ_CONTROL | FILE_READ_ATTRIBUTES,
                                            kShareAll, flags)));
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
// user's own that is no link.
Error follow(HANDLE link, const Wanted& wanted, CheckedFile& out) {
    if (wanted.linked || !win32::ownedByUser(link, true))
        return refused();
    const auto [folder, last] = split(linkText(link, wanted.folderPath));
    if (last.empty())
        return refused();
    Folder targetFolder = openFolder(folder, 0);
    if (!targetFolder.ok())
        return refused();
    return openIn(std::move(targetFolder), last, wanted.access, wanted.isFolder, true, out);
}

// A name that is a reparse point, or missing: looked at before it is
// opened, and the name opened then is the one looked at.
Error openLookedAt(Folder at, const Wanted& wanted, CheckedFile& out) {
    const Handle named = probe(wanted.path());
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
    const DWORD flags =
        seen.tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? 0 : FILE_FLAG_OPEN_REPARSE_POINT;
    File opened = wanted.open(flags);
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
    const Wanted wanted{win32::pathOf(handle(at)), name, access, isFolder, linked};
    // Most names are no reparse point: opened as they are, with no look
    // first, they are judged on the very handle. Any other is looked at
    // before it is opened.
    File opened = wanted.open(FILE_FLAG_OPEN_REPARSE_POINT);
    FILE_ATTRIBUTE_TAG_INFO plain;
    if (!opened.ok() || !lookAt(handle(opened), plain) ||
        (plain.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return openLookedAt(std::move(at), wanted, out);
    if (!wanted.fits(handle(opened), plain.FileAttributes))
        return refused();
    if (!factsOf(handle(opened), out.facts))
        return failed();
    return keep(std::move(at), wanted, std::move(opened), out);
}

// The full name: relative names against the current folder, as every
// program takes them. Names in the device namespace (\\.\, \\?\GLOBALROOT)
// are none of a file's: empty for them.
std::wstring fullPath(const std::wstring& given) {
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

// A file's full name; empty for a name the rule refuses.
std::wstring fullName(const std::string& path) {
    const std::wstring given = win32::wide(path);
    // Judged as given: the full name has dropped a trailing dot or blank.
    if (given.empty() || win32::isDeviceOrAltered(split(given).second))
        return {};
    return fullPath(given);
}

// How many links one path may pass, as the system allows.
constexpr int kMostLinks = 31;

// Where the walk starts: the end of a drive's root ("C:") or a share's
// ("\\server\share"); npos when the path is no more than that.
std::size_t rootEnd(const std::wstring& path) {
    const std::size_t start = path.find_first_of(L"\\/", 2);
    if (!path.starts_with(L"\\\\") || start == std::wstring::npos)
        return start;
    return path.find_first_of(L"\\/", start + 1);
}

// A root opens with its separator ("C:" alone is the drive's current folder).
std::wstring openable(const std::wstring& folder) {
    return rootEnd(folder) == std::wstring::npos ? folder + L'\\' : folder;
}

// A folder on the way, opened by `open`; when it is missing and `make`,
// made first, the user's alone, unless its name is one Windows would change.
template <typename Open> auto openOrMake(const std::wstring& path, bool make, Open open) {
    auto opened = open();
    if (!opened.ok() && make && (::GetLastError() == ERROR_FILE_NOT_FOUND) &&
        !win32::isDeviceOrAltered(split(path).second) &&
        (win32::makePrivateFolder(path) || ::GetLastError() == ERROR_ALREADY_EXISTS))
        opened = open();
    return opened;
}

// The last folder, held as openFolder holds it when it is a folder and no
// reparse point; not open otherwise.
Folder holdLast(const std::wstring& path, bool make) {
    Folder last =
        openOrMake(path, make, [&] { return openFolder(path, FILE_FLAG_OPEN_REPARSE_POINT); });
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (last.ok() && lookAt(handle(last), tag) &&
        (tag.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
            FILE_ATTRIBUTE_DIRECTORY)
        return last;
    return {};
}

// The path with every link on it put in its place, each folder and link on
// the way belonging to the user or the system: only they can change what
// the path leads to. Missing folders are made when `make`. With `held`, a
// last folder that is no reparse point is kept open there, as holdLast
// holds it, so that it is not opened twice.
Error walk(std::wstring path, bool make, int& links, std::wstring& reached,
           Folder* held = nullptr) {
    // What a link names in the system's long form, as the user would write it.
    if (path.starts_with(L"\\\\?\\UNC\\"))
        path = L"\\" + path.substr(7);
    else if (path.starts_with(L"\\\\?\\"))
        path = path.substr(4);
    std::size_t start = rootEnd(path);
    reached = path.substr(0, start);
    while (start != std::wstring::npos && start < path.size()) {
        const std::size_t end = path.find_first_of(L"\\/", start + 1);
        const std::wstring name = path.substr(start + 1, end - start - 1);
        start = end;
        if (name.empty() || name == L".")
            continue;
        const std::wstring next = reached + L'\\' + name;
        if (Folder last = held && end == std::wstring::npos ? holdLast(next, make) : Folder();
            last.ok()) {
            if (!win32::ownedByUser(handle(last), true))
                return refused();
            reached = next;
            *held = std::move(last);
            return {};
        }
        const Handle step = openOrMake(next, make, [&] { return probe(next); });
        FILE_ATTRIBUTE_TAG_INFO tag;
        if (!step.ok() || !lookAt(handle(step), tag))
            return failed();
        if (!win32::ownedByUser(handle(step), true))
            return refused();
        if (isLink(tag)) {
            const std::wstring text = linkText(handle(step), reached);
            if (text.empty() || --links < 0)
                return refused();
            if (const Error error = walk(text, make, links, reached); !error.ok())
                return error;
        } else if (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            reached = next;
        } else {
            return {Failure::Other, ERROR_DIRECTORY};
        }
    }
    return {};
}

// The folder the file is in, every folder on the way the user's or the
// system's, the last by the rule for links; a drive's root or a share is no
// link.
Error openFolderOf(const std::wstring& folderPath, CheckedFile& folder) {
    const auto [parentPath, folderName] = split(folderPath);
    const bool share = parentPath.starts_with(L"\\\\") &&
                       parentPath.find_first_of(L"\\/", 2) == std::wstring::npos;
    if (folderPath.ends_with(L':') || share) {
        folder.file = File(openFolder(folderPath + L'\\', 0).release());
        return folder.file.ok() ? Error() : failed();
    }
    int links = kMostLinks;
    std::wstring reached;
    Folder parent;
    if (const Error error = walk(parentPath, false, links, reached, &parent); !error.ok())
        return notMissing(error);
    if (!parent.ok())
        parent = openFolder(openable(reached), 0);
    if (!parent.ok())
        return failed();
    if (const Error error = openIn(std::move(parent), folderName, 0, true, false, folder);
        !error.ok())
        return notMissing(error);
    return folder.file.ok() ? Error() : failed();
}

} // namespace

namespace win32 {

Error openTrustedFolder(const std::string& path, bool make, Folder& out) {
    std::wstring full = fullPath(wide(path));
    while (full.ends_with(L'\\') && rootEnd(full) + 1 < full.size())
        full.pop_back();
    if (full.empty())
        return refused();
    int links = kMostLinks;
    std::wstring reached;
    if (const Error error = walk(full, make, links, reached, &out); !error.ok() || out.ok())
        return error;
    // A root, or a folder reached through a link: opened where the walk ended.
    out = openFolder(openable(reached), 0);
    if (!out.ok())
        return failed();
    return ownedByUser(handle(out), true) ? Error() : refused();
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
