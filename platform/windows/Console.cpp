#include "platform/Console.h"

#include "platform/windows/Win32.h"

namespace sheetmass::platform {

std::vector<std::string> utf8Arguments(int argc, const wchar_t* const* argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(win32::utf8(argv[i]));
    return arguments;
}

} // namespace sheetmass::platform
