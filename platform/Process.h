#pragma once

#include "platform/Handle.h"

#include <optional>

namespace sheetmass::platform {

// A file-size limit, or an output whose reader is gone, makes a write fail
// instead of ending the program.
void failWritesInsteadOfEnding();

// From now on, the requests that ask a program to end (a session that
// ends, a closed terminal, Ctrl+C) turn into bytes to read on the handle
// given, which an event loop watches; nothing when none can be made. The
// handle never blocks and is not handed on to programs started later.
std::optional<Native> watchEndRequests();

// Takes the waiting requests off that handle.
void takeEndRequests();

} // namespace sheetmass::platform
