#include "platform/Paths.h"

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

} // namespace sheetmass::platform
