#include "platform/Files.h"

#include "platform/windows/Win32.h"

#include <algorithm>
#include <thread>

namespace sheetmass::platform {
namespace {

using win32::handle;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

} // namespace

Error createNew(const Folder& folder, const std::string& name, File& made) {
    const std::wstring wanted = win32::wide(name);
    if (wanted.empty() || win32::isDeviceOrAltered(wanted))
        return {Failure::Refused, ERROR_INVALID_NAME};
    // FILE_CREATE fails on anything of that name, a link among them; DELETE,
    // so that removeMade can take it away by this handle.
    made = File(
        win32::native(win32::makeAt(handle(folder), wanted, GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                                    FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT)));
    return made.ok() ? Error() : win32::lastError();
}

Error createNew(const Folder& folder, const std::string& name) {
    File created;
    if (const Error error = createNew(folder, name, created); !error.ok())
        return error;
    return created.close();
}

Error readAt(const File& file, std::uint64_t offset, char* to, std::size_t room, std::size_t& got) {
    got = 0;
    // Only a file on a disk has offsets; a pipe would be read on from where
    // it stands.
    if (::GetFileType(handle(file)) != FILE_TYPE_DISK)
        return win32::errorOf(ERROR_INVALID_FUNCTION);
    // A read at an offset moves the file's position on Windows; it stays
    // where it was, for whoever reads the file in order.
    LARGE_INTEGER position{}, none{};
    if (!::SetFilePointerEx(handle(file), none, &position, FILE_CURRENT))
        return win32::lastError();
    OVERLAPPED where = at(offset);
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30));
    const bool read = ::ReadFile(handle(file), to, ask, &n, &where);
    const DWORD failure = ::GetLastError();
    ::SetFilePointerEx(handle(file), position, nullptr, FILE_BEGIN);
    if (!read)
        return failure == ERROR_HANDLE_EOF ? Error() : win32::errorOf(failure);
    got = n;
    return {};
}

Error writeAt(const File& file, std::string_view bytes, std::uint64_t offset) {
    for (std::size_t done = 0; done < bytes.size();) {
        OVERLAPPED where = at(offset + done);
        DWORD n = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!::WriteFile(handle(file), bytes.data() + done, ask, &n, &where))
            return win32::lastError();
        if (n == 0)
            return win32::errorOf(ERROR_WRITE_FAULT);
        done += n;
    }
    return {};
}

Error sync(const File& file) {
    return ::FlushFileBuffers(handle(file)) ? Error() : win32::lastError();
}

Error nextData(const File& file, std::uint64_t from, std::uint64_t& start, std::uint64_t& end) {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle(file), &size))
        return win32::lastError();
    // Holes are kept only in sparse files, which no save makes: the rest is
    // one run.
    end = static_cast<std::uint64_t>(size.QuadPart);
    start = std::min(from, end);
    return {};
}

Error extendTo(const File& file, std::uint64_t size) {
    LARGE_INTEGER now;
    if (!::GetFileSizeEx(handle(file), &now))
        return win32::lastError();
    if (static_cast<std::uint64_t>(now.QuadPart) >= size)
        return {};
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFileInformationByHandle(handle(file), FileEndOfFileInfo, &end, sizeof end)
               ? Error()
               : win32::lastError();
}

namespace {

// The lock's file, made when missing with the user's alone security. Others
// may read it while it is open, so that a reader (an indexer, a backup)
// holds up no save: what holds the lock is a lock on a byte past any the
// file will ever have.
Error openLock(const Folder& at, const std::wstring& name, File& out) {
    out = File(win32::native(win32::makeAt(handle(at), name, GENERIC_READ | READ_CONTROL,
                                           FILE_SHARE_READ, FILE_OPEN_IF,
                                           FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT)));
    if (!out.ok())
        return win32::lastError();
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (::GetFileType(handle(out)) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandleEx(handle(out), FileAttributeTagInfo, &tag, sizeof tag) ||
        (tag.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        !win32::privateToUser(handle(out), win32::kOpens))
        return {Failure::Refused, ERROR_ACCESS_DENIED};
    return {};
}

Error takeLock(const File& file) {
    OVERLAPPED where = at(std::uint64_t(1) << 62);
    return ::LockFileEx(handle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                        &where)
               ? Error()
               : win32::lastError();
}

} // namespace

// The lock is a byte-range lock on the file, which goes with its handle.
// Only the user may open the file, in a folder only the user may change, so
// no one else can take it.
Error lockPrivately(const std::string& folder, const std::string& name,
                    std::chrono::milliseconds wait, File& held) {
    Folder at;
    if (const Error error = win32::openTrustedFolder(folder, false, at); !error.ok())
        return error;
    if (!win32::privateToUser(handle(at)))
        return {Failure::Refused, ERROR_ACCESS_DENIED};
    const std::wstring lock = win32::wide(name);
    if (lock.empty() || win32::isDeviceOrAltered(lock))
        return {Failure::Refused, ERROR_INVALID_NAME};
    constexpr std::chrono::milliseconds kPause{10};
    File file;
    for (std::chrono::milliseconds waited{0};; waited += kPause) {
        // A program that holds the file open shared with no one is waited
        // for as another copy's lock is.
        Error error = file.ok() ? Error() : openLock(at, lock, file);
        if (error.ok())
            error = takeLock(file);
        if (error.ok())
            held = std::move(file);
        if (error.failure() != Failure::Busy || waited >= wait)
            return error;
        std::this_thread::sleep_for(kPause);
    }
}

Error setModified(const File& file, std::int64_t modified) {
    // The time needs a right that reading does not bring; the same file, by
    // its handle.
    const Handle writable(
        win32::native(::ReOpenFile(handle(file), FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0)));
    if (!writable.ok())
        return win32::lastError();
    // Windows keeps ticks of 100 ns: rounded up, so that a time moved past
    // another by a nanosecond is still past it.
    const std::int64_t ticks = (modified + 99) / 100 + 116'444'736'000'000'000;
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return ::SetFileTime(handle(writable), nullptr, nullptr, &time) ? Error() : win32::lastError();
}

} // namespace sheetmass::platform
