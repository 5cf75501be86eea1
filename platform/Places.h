#pragma once

#include <string>
#include <string_view>

namespace sheetmass::platform {

// The running program's file as the system names it, links resolved;
// empty when it cannot tell, or the file is gone.
std::string programFile();

// The folder where `program` keeps the files of the user running it, not
// made here. POSIX: by the XDG rules, under $XDG_DATA_HOME when that is
// absolute, else under ~/.local/share, the home taken from the password
// file when $HOME is unset or empty. Windows: under the roaming application
// data folder. Empty when the system names no such place.
std::string dataFolder(std::string_view program);

// The user's own folder on this machine for `program`'s locks. POSIX:
// $XDG_RUNTIME_DIR when absolute, which the session makes and takes away
// with what is in it. Windows: `program`'s folder in the local application
// data folder, which lasts, so that what is left there is left in a folder
// of the program's own; made when missing, as makeFolders makes it. Empty
// when there is none.
std::string runtimeFolder(std::string_view program);

// Whether the program in `folder` is a copy an installer put there, whose
// inputs belong in the data folder, not one unpacked by hand. POSIX: the
// package's desktop entry, `desktopFile`.desktop, lies in share/applications
// beside its bin folder, in any prefix. Windows: the installer's
// uninstall.exe lies beside it, wherever the user had it installed; no zip
// holds one.
bool isInstalledCopy(const std::string& folder, std::string_view desktopFile);

// Whether anything has that name, links followed.
bool exists(const std::string& path);

// Makes the folder and any missing folders it is in, reaching each as
// openChecked reaches folders, owners checked. What it makes is the user's
// alone, so that no one else can change what is saved in it: mode 0700 on
// POSIX, as the XDG rules ask; on Windows owned by the user, all rights the
// user's alone, nothing inherited from above. True when the folder is there
// afterwards, reached so.
bool makeFolders(const std::string& folder);

// Whether this user may make new files in the folder.
bool folderTakesNewFiles(const std::string& folder);

} // namespace sheetmass::platform
