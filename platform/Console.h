#pragma once

#include <string>
#include <vector>

namespace sheetmass::platform {

// Windows only: the arguments a program's wmain gets, as UTF-8. Wide, so
// that a file name outside the ANSI code page still opens.
std::vector<std::string> utf8Arguments(int argc, const wchar_t* const* argv);

} // namespace sheetmass::platform
