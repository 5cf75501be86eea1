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

// Windows' locks keep others from the bytes they cover; the saves' lock
// covers a byte far past any List.abc, so that reading the file is never
// kept waiting by it.
constexpr std::uint64_t kLockAt = 0x7FFF'FFFF'0000'0000;

} // namespace

Error createNew(const Folder& folder, const std::string& name) {
    const std::wstring path = win32::pathIn(folder, name);
    if (path.empty() || win32::isDeviceOrAltered(win32::wide(name)))
        return {Failure::Refused, ERROR_INVALID_NAME};
    // CREATE_NEW fails on anything of that name, a link among them.
    File created(win32::native(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    if (!created.ok())
        return win32::lastError();
    return created.close();
}

Error readAt(const File& file, std::uint64_t offset, char* to, std::size_t room, std::size_t& got) {
    OVERLAPPED where = at(offset);
    DWORD n = 0;
    got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30));
    if (!::ReadFile(handle(file), to, ask, &n, &where))
        return ::GetLastError() == ERROR_HANDLE_EOF ? Error() : win32::lastError();
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

Error lockWithin(const File& file, std::chrono::milliseconds wait) {
    constexpr std::chrono::milliseconds kPause{10};
    for (std::chrono::milliseconds waited{0};; waited += kPause) {
        OVERLAPPED where = at(kLockAt);
        if (::LockFileEx(handle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &where))
            return {};
        if (::GetLastError() != ERROR_LOCK_VIOLATION && ::GetLastError() != ERROR_IO_PENDING)
            return win32::lastError();
        if (waited >= wait)
            return {Failure::Busy, ERROR_LOCK_VIOLATION};
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
