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

// Whole characters a piece at a time: a console may take no more at once.
Error writeConsole(HANDLE console, std::string_view text, TextEncoding encoding) {
    const UINT page = encoding == TextEncoding::Cp1251 ? 1251 : CP_UTF8;
    const int size = static_cast<int>(text.size());
    std::wstring units(text.size(), L'\0');
    units.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(page, 0, text.data(), size, units.data(), size)));
    constexpr std::size_t kPiece = 8192;
    for (std::size_t done = 0; done < units.size();) {
        std::size_t n = std::min(units.size() - done, kPiece);
        if (done + n < units.size() && IS_HIGH_SURROGATE(units[done + n - 1]))
            --n;
        DWORD wrote = 0;
        if (!::WriteConsoleW(console, units.data() + done, static_cast<DWORD>(n), &wrote, nullptr))
            return win32::lastError();
        if (wrote == 0)
            return win32::errorOf(ERROR_WRITE_FAULT);
        done += wrote;
    }
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

// Written by the handle, past the C runtime's text mode, so neither CR LF nor
// Ctrl+Z is touched. A console's code page stays the user's: what it shows
// goes to it as UTF-16.
Error writeAll(Stream out, std::string_view text, TextEncoding encoding) {
    if (missing(out))
        return win32::errorOf(ERROR_INVALID_HANDLE);
    if (DWORD mode; ::GetConsoleMode(handle(out), &mode))
        return writeConsole(handle(out), text, encoding);
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
