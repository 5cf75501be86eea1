// The program for Windows, a console one: the batch, the help and the
// version. The window comes with a front end of its own.
#include "cli/CommandLine.h"
#include "platform/Console.h"
#include "platform/Streams.h"

#include <vector>

int wmain(int argc, wchar_t* argv[]) {
    std::vector<std::string> arguments = sheetmass::platform::utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments)
        pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    if (const auto status =
            sheetmass::runWithoutWindow(static_cast<int>(arguments.size()), pointers.data()))
        return *status;
    [[maybe_unused]] const auto said = sheetmass::platform::writeAll(
        sheetmass::platform::standardError(),
        "sheetmass: окна в этой сборке нет; список партий: sheetmass --batch ФАЙЛ\n");
    return 2;
}
