#pragma once

#include <string>
#include <string_view>

namespace sheetmass::platform {

// The system's syntax of paths: what is absolute, how a name joins a
// folder, where a file's folder ends.

bool isAbsolute(std::string_view path);

// `name` in `folder`.
std::string joined(std::string_view folder, std::string_view name);

// The folder a path names its last part in.
std::string folderOf(std::string_view path);

// The last part of a path: the name in folderOf(path).
std::string nameOf(std::string_view path);

// The path from the root, a relative one taken from the current folder.
std::string absolutePath(std::string_view path);

} // namespace sheetmass::platform
