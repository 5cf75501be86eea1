#include "platform/Paths.h"

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

} // namespace sheetmass::platform
