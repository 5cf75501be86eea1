#pragma once

#include <string>
#include <string_view>

namespace sheetmass::platform {

// The running program's file as the system names it, links resolved;
// empty when it cannot tell, or the file is gone.
std::string programFile();

// The folder where `program` keeps the files of the user running it; by
// the XDG rules on POSIX: under $XDG_DATA_HOME when that is absolute, else
// under ~/.local/share.
std::string dataFolder(std::string_view program);

// Whether anything has that name, links followed.
bool exists(const std::string& path);

// Makes the folder and any missing folders it is in; true when it is a
// folder afterwards.
bool makeFolders(const std::string& folder);

// Whether this user may make new files in the folder.
bool folderTakesNewFiles(const std::string& folder);

} // namespace sheetmass::platform
