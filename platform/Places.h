#pragma once

#include <string>
#include <string_view>

namespace sheetmass::platform {

// The running program's file as the system names it, links resolved;
// empty when it cannot tell, or the file is gone.
std::string programFile();

// The folder where `program` keeps the files of the user running it; by
// the XDG rules on POSIX: under $XDG_DATA_HOME when that is absolute, else
// under ~/.local/share, the home taken from the password file when $HOME
// is unset or empty. Empty when there is no home.
std::string dataFolder(std::string_view program);

// The user's folder for what lasts a session, such as locks; on POSIX
// $XDG_RUNTIME_DIR when absolute. Empty when there is none.
std::string runtimeFolder();

// Whether anything has that name, links followed.
bool exists(const std::string& path);

// Makes the folder and any missing folders it is in, only the user's (the
// XDG rules' 0700), reaching them as openChecked does; true when it is a
// folder afterwards.
bool makeFolders(const std::string& folder);

// Whether this user may make new files in the folder.
bool folderTakesNewFiles(const std::string& folder);

} // namespace sheetmass::platform
