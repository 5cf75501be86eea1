#include "platform/Places.h"

#include "platform/Paths.h"
#include "platform/windows/Win32.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace sheetmass::platform {
namespace {

// The system's long-name prefix, which the user never types.
std::wstring plain(std::wstring path) {
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\"))
        return path.substr(4);
    return path;
}

// The shell and COM are loaded only when a known folder is asked for, not
// at every start, and only from the system's own folder.
template <typename Function> Function* systemFunction(const wchar_t* library, const char* name) {
    const HMODULE module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<Function*>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                  : nullptr;
}

std::string knownFolder(REFKNOWNFOLDERID id) {
    static auto* const find =
        systemFunction<decltype(::SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    static auto* const release =
        systemFunction<decltype(::CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    if (!find || !release)
        return {};
    wchar_t* path = nullptr;
    std::string folder;
    if (find(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK)
        folder = win32::utf8(path);
    release(path);
    return folder;
}

} // namespace

std::string programFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    // Links resolved, as the file is found.
    const Handle file(win32::native(::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, 0, nullptr)));
    if (!file.ok())
        return {};
    return win32::utf8(plain(win32::pathOf(win32::handle(file))));
}

// %APPDATA%\sheetmass: the roaming data folder follows the user.
std::string dataFolder(std::string_view program) {
    const std::string roaming = knownFolder(FOLDERID_RoamingAppData);
    return roaming.empty() ? roaming : joined(roaming, program);
}

// %LOCALAPPDATA%\sheetmass: it stays on this machine, and the uninstaller
// finds what is left there in the program's own folder.
std::string runtimeFolder(std::string_view program) {
    const std::string local = knownFolder(FOLDERID_LocalAppData);
    if (local.empty())
        return local;
    const std::string folder = joined(local, program);
    return makeFolders(folder) ? folder : std::string();
}

// The installer writes its uninstaller beside the programs and nothing else
// does; the folder it installs to is the user's choice, so Program Files
// tells nothing. Should a copy of an installed folder take the uninstaller
// along, its inputs go to the data folder, which is no harm.
bool isInstalledCopy(const std::string& folder, std::string_view) {
    return exists(joined(folder, "uninstall.exe"));
}

// Opened, so that a link is followed to what it names.
bool exists(const std::string& path) {
    const std::wstring name = win32::wide(path);
    return !name.empty() &&
           Handle(win32::native(
                      ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)))
               .ok();
}

bool makeFolders(const std::string& folder) {
    Folder made;
    return win32::openTrustedFolder(folder, true, made).ok();
}

// Asking for the right to add a file when opening the folder is what the
// system's permissions answer.
bool folderTakesNewFiles(const std::string& folder) {
    const std::wstring name = win32::wide(folder);
    return !name.empty() &&
           Handle(win32::native(
                      ::CreateFileW(name.c_str(), FILE_ADD_FILE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)))
               .ok();
}

} // namespace sheetmass::platform
