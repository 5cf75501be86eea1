#include "platform/Replace.h"

#include "platform/NewName.h"
#include "platform/windows/Win32.h"

// RtlGenRandom: advapi32, which every start loads anyway, where bcrypt would
// be one more library to load.
#include <ntsecapi.h>

#include <cstdlib>

namespace sheetmass::platform {
using win32::handle;

Replacement::~Replacement() {
    if (!m_name.empty()) {
        m_file = File();
        ::DeleteFileW(win32::pathIn(*m_folder, m_name).c_str());
    }
}

Error Replacement::begin(const Folder& folder, std::string_view prefix, const File& like) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kRandomLetters];
        if (!::RtlGenRandom(random, sizeof random))
            for (std::size_t i = 0; i < kRandomLetters; ++i)
                random[i] = static_cast<unsigned char>(std::rand());
        std::string name = newFileName(prefix, random);
        // Shared with no one: until the commit nobody else opens it, and a
        // save that finds it takes it for no leftover.
        File file(win32::native(::CreateFileW(win32::pathIn(folder, name).c_str(),
                                              GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (file.ok()) {
            m_folder = &folder;
            m_like = &like;
            m_name = std::move(name);
            m_file = std::move(file);
            return {};
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return win32::lastError();
    }
    return win32::errorOf(ERROR_FILE_EXISTS);
}

Error Replacement::commit(const std::string& name) {
    BY_HANDLE_FILE_INFORMATION written, old{}, named;
    if (!::FlushFileBuffers(handle(m_file)) ||
        !::GetFileInformationByHandle(handle(m_file), &written))
        return win32::lastError(); // the destructor removes the new file
    if (m_like->ok() && !::GetFileInformationByHandle(handle(*m_like), &old))
        return win32::lastError();
    if (const Error closed = m_file.close(); !closed.ok())
        return closed;
    const std::wstring from = win32::pathIn(*m_folder, m_name);
    const std::wstring to = win32::pathIn(*m_folder, name);
    // ReplaceFileW takes the place of a file that is held open (ours, for
    // the lock) and keeps its permissions; a new name needs a move, which
    // never goes over anything that appeared meanwhile.
    const bool moved = m_like->ok()
                           ? ::ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                           : ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!moved)
        return win32::lastError();
    m_name.clear();
    // In a folder others may write to, they may have swapped something in
    // for the new file before it took the name; ReplaceFileW may keep the
    // old file's identity for it.
    const Handle now(win32::native(::CreateFileW(
        to.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
        nullptr)));
    if (!now.ok() || !::GetFileInformationByHandle(handle(now), &named) ||
        !(win32::sameFile(named, written) || (m_like->ok() && win32::sameFile(named, old))))
        return {Failure::Refused, ERROR_ACCESS_DENIED};
    return {};
}

void removeLeftovers(const Folder& folder, std::string_view prefix) {
    const std::wstring pattern = win32::pathIn(folder, std::string(prefix) + "*");
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = win32::utf8(found.cFileName);
        if (!isNewFileName(name, prefix) ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        // A running replacement shares its file with no one: it does not open.
        const Handle left(win32::native(::CreateFileW(
            win32::pathIn(folder, name).c_str(), DELETE | READ_CONTROL | FILE_READ_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
        FILE_ATTRIBUTE_TAG_INFO tag;
        if (!left.ok() || ::GetFileType(handle(left)) != FILE_TYPE_DISK ||
            !::GetFileInformationByHandleEx(handle(left), FileAttributeTagInfo, &tag, sizeof tag) ||
            (tag.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            !win32::ownedByUser(handle(left)))
            continue;
        // What was judged goes, by its handle, not whatever has the name now.
        FILE_DISPOSITION_INFO gone{TRUE};
        ::SetFileInformationByHandle(handle(left), FileDispositionInfo, &gone, sizeof gone);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace sheetmass::platform
