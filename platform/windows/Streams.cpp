#include "platform/Streams.h"

#include "platform/windows/Win32.h"

#include <algorithm>

namespace sheetmass::platform {
namespace {

using win32::handle;

// A standard stream that is not there (a program started without a
// console or with one closed) fails to read or write, as a closed
// descriptor does on POSIX.
bool missing(Stream stream) {
    return handle(stream) == nullptr || handle(stream) == INVALID_HANDLE_VALUE;
}

// A console hands over what is typed in its own code page through
// ReadFile; read as UTF-16, it goes on as UTF-8. A line that begins with
// Ctrl+Z ends the input there, as consoles have it.
Error readConsole(HANDLE in, char* to, std::size_t room, std::size_t& got) {
    // Three bytes of UTF-8 at most for each unit of UTF-16.
    std::wstring units(std::max<std::size_t>(room / 3, 1), L'\0');
    DWORD n = 0;
    if (!::ReadConsoleW(in, units.data(), static_cast<DWORD>(units.size()), &n, nullptr))
        return win32::lastError();
    units.resize(n);
    const std::string bytes = units.starts_with(L'\x1A') ? "" : win32::utf8(units);
    got = std::min(bytes.size(), room);
    bytes.copy(to, got);
    return {};
}

} // namespace

Stream standardInput() {
    return Stream(win32::native(::GetStdHandle(STD_INPUT_HANDLE)));
}
Stream standardOutput() {
    return Stream(win32::native(::GetStdHandle(STD_OUTPUT_HANDLE)));
}
Stream standardError() {
    return Stream(win32::native(::GetStdHandle(STD_ERROR_HANDLE)));
}

// The streams are read and written by their handles, past the C runtime's
// text mode, so neither CR LF nor Ctrl+Z is touched. A console shows the
// UTF-8 the program writes.
void binaryStandardStreams() {
    DWORD mode;
    if (::GetConsoleMode(handle(standardOutput()), &mode) ||
        ::GetConsoleMode(handle(standardError()), &mode))
        ::SetConsoleOutputCP(CP_UTF8);
}

Error readSome(Stream in, char* to, std::size_t room, std::size_t& got) {
    got = 0;
    if (missing(in))
        return win32::errorOf(ERROR_INVALID_HANDLE);
    if (DWORD mode; ::GetConsoleMode(handle(in), &mode))
        return readConsole(handle(in), to, room, got);
    DWORD n = 0;
    if (!::ReadFile(handle(in), to, static_cast<DWORD>(std::min<std::size_t>(room, 1u << 30)), &n,
                    nullptr)) {
        // A pipe whose writer has gone has ended.
        return ::GetLastError() == ERROR_BROKEN_PIPE ? Error() : win32::lastError();
    }
    got = n;
    return {};
}

Error writeAll(Stream out, std::string_view text) {
    if (missing(out))
        return win32::errorOf(ERROR_INVALID_HANDLE);
    for (std::size_t done = 0; done < text.size();) {
        DWORD n = 0;
        if (!::WriteFile(handle(out), text.data() + done,
                         static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 30)),
                         &n, nullptr))
            return win32::lastError();
        if (n == 0)
            return win32::errorOf(ERROR_WRITE_FAULT);
        done += n;
    }
    return {};
}

Error openToRead(const std::string& path, File& out) {
    const std::wstring name = win32::wide(path);
    if (name.empty())
        return win32::errorOf(ERROR_INVALID_NAME);
    out = File(win32::native(::CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
    return out.ok() ? Error() : win32::lastError();
}

} // namespace sheetmass::platform
