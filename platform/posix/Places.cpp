#include "platform/Places.h"

#include <climits>
#include <cstdlib>

#include <fcntl.h>
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
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string dataFolder(std::string_view program) {
    const std::string xdg = environment("XDG_DATA_HOME");
    return (xdg.starts_with('/') ? xdg : homeFolder() + "/.local/share") + "/" +
           std::string(program);
}

bool folderTakesNewFiles(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace sheetmass::platform
