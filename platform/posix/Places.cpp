#include "platform/Places.h"

#include "platform/Paths.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// $HOME without a trailing slash, ready for a name and a slash to join it;
// empty for the root, and when it is unset.
std::string homeFolder() {
    std::string home = environment("HOME");
    while (home.size() > 1 && home.ends_with('/'))
        home.pop_back();
    return home.empty() || home == "/" ? "" : home;
}

} // namespace

std::string programFile() {
    const std::unique_ptr<char, decltype(&std::free)> path(::realpath("/proc/self/exe", nullptr),
                                                           &std::free);
    return path ? path.get() : "";
}

std::string dataFolder(std::string_view program) {
    const std::string xdg = environment("XDG_DATA_HOME");
    return (xdg.starts_with('/') ? xdg : homeFolder() + "/.local/share") + "/" +
           std::string(program);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool makeFolders(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    const auto isFolder = [&] {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    };
    if (::mkdir(path.c_str(), 0777) == 0)
        return true;
    if (errno == EEXIST)
        return isFolder();
    if (errno != ENOENT || path.rfind('/') == 0 || path.rfind('/') == std::string::npos ||
        !makeFolders(folderOf(path)))
        return false;
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && isFolder());
}

bool folderTakesNewFiles(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace sheetmass::platform
