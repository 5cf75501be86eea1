#include "platform/Paths.h"

#include "platform/windows/Win32.h"

namespace sheetmass::platform {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

// A drive and a separator, or a share ("\\server\share").
bool isAbsolute(std::string_view path) {
    return (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) ||
           (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]));
}

std::string joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !isSeparator(path.back()))
        path += '\\';
    return path.append(name);
}

std::string folderOf(std::string_view path) {
    const auto separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos)
        return ".";
    // A drive's root keeps its separator: "C:" alone is the drive's current folder.
    const bool driveRoot = separator == 2 && path[1] == ':';
    return std::string(path.substr(0, driveRoot ? separator + 1 : separator));
}

std::string nameOf(std::string_view path) {
    return std::string(path.substr(path.find_last_of("\\/") + 1));
}

std::string absolutePath(std::string_view path) {
    const std::wstring given = win32::wide(path);
    if (given.empty())
        return std::string(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()),
                                           full.data(), nullptr);
        if (n == 0)
            return std::string(path);
        const bool fits = n < full.size();
        full.resize(n);
        if (fits)
            return win32::utf8(full);
    }
}

} // namespace sheetmass::platform
