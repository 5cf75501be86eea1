#pragma once

#include "platform/Streams.h"

#include <optional>
#include <string>

namespace sheetmass {

// What the command line asks for that needs no window and no display: the
// batch, the help, the version, or a refusal of an option the program does
// not know. Gives the exit status then, and nothing when the window is to
// start. Qt's own options are left for Qt.
std::optional<int> runWithoutWindow(int argc, const char* const* argv,
                                    platform::Stream in = platform::standardInput(),
                                    platform::Stream out = platform::standardOutput(),
                                    platform::Stream err = platform::standardError());

// After Qt took its options from the command line: the name of a file, alone,
// is the file the window is given (`file`), as a file manager's "open with"
// names it; anything else is not the program's, and gives the exit status 2
// with a message.
std::optional<int> refuseLeftOver(int argc, const char* const* argv, std::string& file,
                                  platform::Stream err = platform::standardError());

} // namespace sheetmass
