#include "platform/Paths.h"

#include <climits>

#include <unistd.h>

namespace sheetmass::platform {

bool isAbsolute(std::string_view path) {
    return path.starts_with('/');
}

std::string joined(std::string_view folder, std::string_view name) {
    if (folder.size() > 1 && folder.ends_with('/'))
        folder.remove_suffix(1);
    std::string path(folder);
    if (!path.ends_with('/'))
        path += '/';
    return path.append(name);
}

std::string folderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    return std::string(slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
}

std::string nameOf(std::string_view path) {
    return std::string(path.substr(path.rfind('/') + 1));
}

std::string absolutePath(std::string_view path) {
    char here[PATH_MAX];
    if (isAbsolute(path) || ::getcwd(here, sizeof here) == nullptr)
        return std::string(path);
    return joined(here, path);
}

} // namespace sheetmass::platform
