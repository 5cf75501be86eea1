#include "platform/Replace.h"

#include "platform/Files.h"

#include "platform/NewName.h"
#include "platform/windows/Win32.h"

// RtlGenRandom: advapi32, which every start loads anyway, where bcrypt would
// be one more library to load.
#include <ntsecapi.h>

#include <cstdlib>
#include <vector>

namespace sheetmass::platform {
namespace {

using win32::handle;
using win32::kShareAll;

std::wstring randomName(std::string_view prefix) {
    unsigned char random[kRandomLetters];
    if (!::RtlGenRandom(random, sizeof random))
        for (std::size_t i = 0; i < kRandomLetters; ++i)
            random[i] = static_cast<unsigned char>(std::rand());
    return win32::wide(newFileName(prefix, random));
}

// Removed by its handle: what goes is the file held, not whatever has its
// name by then.
void removeHeld(HANDLE h) {
    FILE_DISPOSITION_INFO gone{TRUE};
    ::SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
}

bool tookName(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Where the system cannot put a file in the place of one held open in one
// step (Windows before 10 1809, other file systems than NTFS, Wine), the old
// file steps aside under a new file's name, as ReplaceFileW has it do, the
// new one takes the name, and the old goes; should the new one not take it,
// the old takes it back.
Error stepAside(const File& old, const Folder& folder, const File& made, const std::wstring& name,
                std::string_view prefix) {
    const Handle leaving(win32::native(::ReOpenFile(handle(old), DELETE, kShareAll, 0)));
    if (!leaving.ok())
        return win32::lastError();
    bool aside = false;
    for (int attempt = 0; attempt < 100 && !aside; ++attempt) {
        aside = win32::renameAt(handle(leaving), handle(folder), randomName(prefix), false);
        if (!aside && !tookName(::GetLastError()))
            return win32::lastError();
    }
    if (!aside)
        return win32::errorOf(ERROR_FILE_EXISTS);
    if (!win32::renameAt(handle(made), handle(folder), name, false)) {
        const Error error = win32::lastError();
        win32::renameAt(handle(leaving), handle(folder), name, false);
        return error;
    }
    removeHeld(handle(leaving));
    return {};
}

// A new file of a replacement that was killed: this user's regular file
// that no running replacement holds.
void removeIfLeftover(const Folder& folder, std::string_view prefix,
                      const FILE_FULL_DIR_INFO& entry) {
    const std::wstring_view name(entry.FileName, entry.FileNameLength / sizeof(wchar_t));
    if (!isNewFileName(win32::utf8(name), prefix) ||
        (entry.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return;
    // A running replacement shares its file with no one: it does not open.
    const Handle left(win32::native(
        win32::openAt(handle(folder), name, DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN,
                      FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT)));
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!left.ok() || ::GetFileType(handle(left)) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandleEx(handle(left), FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        !win32::ownedByUser(handle(left)))
        return;
    removeHeld(handle(left));
}

} // namespace

Replacement::~Replacement() {
    if (!m_name.empty() && m_file.ok())
        removeHeld(handle(m_file));
}

Error Replacement::begin(const Folder& folder, std::string_view prefix, const File& like) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = randomName(prefix);
        // Shared with no one until it has the old file's place: nobody else
        // opens it, and a save that finds it takes it for no leftover. Its
        // security is the user's alone, and stays so where it goes.
        File file(
            win32::native(win32::makeAt(handle(folder), name, GENERIC_READ | GENERIC_WRITE | DELETE,
                                        0, FILE_CREATE, FILE_NON_DIRECTORY_FILE)));
        if (file.ok()) {
            m_folder = &folder;
            m_like = &like;
            m_name = win32::utf8(name);
            m_file = std::move(file);
            return {};
        }
        if (!tookName(::GetLastError()))
            return win32::lastError();
    }
    return win32::errorOf(ERROR_FILE_EXISTS);
}

Error Replacement::commit(const std::string& name) {
    const std::wstring target = win32::wide(name);
    BY_HANDLE_FILE_INFORMATION written, named;
    if (target.empty() || !::FlushFileBuffers(handle(m_file)) ||
        !::GetFileInformationByHandle(handle(m_file), &written))
        return win32::lastError(); // the destructor removes the new file
    // The new file, by its handle: a first save never goes over anything
    // that appeared meanwhile.
    if (!m_like->ok()) {
        if (!win32::renameAt(handle(m_file), handle(*m_folder), target, false))
            return win32::lastError();
    } else if (!win32::renameAt(handle(m_file), handle(*m_folder), target, true)) {
        if (::GetLastError() != ERROR_NOT_SUPPORTED)
            return win32::lastError();
        const std::string_view prefix(m_name.data(), m_name.size() - kRandomLetters);
        if (const Error error = stepAside(*m_like, *m_folder, m_file, target, prefix); !error.ok())
            return error;
    }
    m_name.clear();
    // In a folder others may write to, they may have put something else in
    // its place since.
    const Handle now(win32::native(win32::openAt(handle(*m_folder), target, FILE_READ_ATTRIBUTES,
                                                 kShareAll, FILE_OPEN, FILE_OPEN_REPARSE_POINT)));
    if (!now.ok() || !::GetFileInformationByHandle(handle(now), &named) ||
        !win32::sameFile(named, written))
        return {Failure::Refused, ERROR_ACCESS_DENIED};
    return m_file.close();
}

void removeMade(const Folder&, const std::string&, const File& made) {
    removeHeld(handle(made));
}

// In the user's temporary folder, under a name no one else can take first.
Error scratchFile(File& out) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return win32::lastError();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = folder + randomName("sheetmass-");
        out = File(win32::native(
            ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                          win32::privateSecurity(win32::Made::File), CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr)));
        if (out.ok() || !tookName(::GetLastError()))
            break;
    }
    return out.ok() ? Error() : win32::lastError();
}

void removeLeftovers(const Folder& folder, std::string_view prefix) {
    // The folder's names, read by its handle, as many at a time as the
    // buffer holds (its entries start on 8 bytes).
    std::vector<LONGLONG> buffer(8192);
    const auto room = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    for (auto next = FileFullDirectoryRestartInfo;
         ::GetFileInformationByHandleEx(handle(folder), next, buffer.data(), room);
         next = FileFullDirectoryInfo) {
        for (const BYTE* at = reinterpret_cast<const BYTE*>(buffer.data());;) {
            const auto& entry = *reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
            removeIfLeftover(folder, prefix, entry);
            if (entry.NextEntryOffset == 0)
                break;
            at += entry.NextEntryOffset;
        }
    }
}

} // namespace sheetmass::platform
