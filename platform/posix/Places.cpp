#include "platform/Places.h"

#include "platform/Paths.h"
#include "platform/posix/Posix.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Where the password file puts the user's home: a session started without
// $HOME (a service, `env -i`) still has one.
std::string homeOfUser() {
    long room = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(room > 0 ? static_cast<std::size_t>(room) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return "";
    return found->pw_dir;
}

std::string homeFolder() {
    std::string home = environment("HOME");
    if (home.empty())
        home = homeOfUser();
    while (home.size() > 1 && home.ends_with('/'))
        home.pop_back();
    return home;
}

} // namespace

std::string programFile() {
    const std::unique_ptr<char, decltype(&std::free)> path(::realpath("/proc/self/exe", nullptr),
                                                           &std::free);
    return path ? path.get() : "";
}

std::string dataFolder(std::string_view program) {
    const std::string xdg = environment("XDG_DATA_HOME");
    if (xdg.starts_with('/'))
        return joined(xdg, program);
    const std::string home = homeFolder();
    return home.empty() ? "" : joined(joined(home, ".local/share"), program);
}

std::string runtimeFolder(std::string_view) {
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    return runtime.starts_with('/') ? runtime : "";
}

bool isInstalledCopy(const std::string& folder, std::string_view desktopFile) {
    return exists(folder + "/../share/applications/" + std::string(desktopFile) + ".desktop");
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool makeFolders(const std::string& folder) {
    Folder made;
    return posix::openTrustedFolder(AT_FDCWD, folder, true, made).ok();
}

bool folderTakesNewFiles(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace sheetmass::platform
