#pragma once

#include "platform/Handle.h"

#include <optional>

namespace sheetmass::platform {

// A file-size limit, or an output whose reader is gone, makes a write fail
// instead of ending the program.
void failWritesInsteadOfEnding();

// From now on, every request to end that can be caught (on POSIX TERM, HUP,
// INT, QUIT, PWR, XCPU, USR1, USR2, ALRM, VTALRM, PROF, and XFSZ sent by
// another process) turns into bytes to read on the handle given, which an
// event loop watches; nothing when none can be made. The handle never
// blocks and is not handed on to programs started later.
std::optional<Native> watchEndRequests();

// Takes the waiting requests off that handle.
void takeEndRequests();

// Keeps the libraries the program loads from starting a daemon that
// outlives it: on POSIX no session bus is launched where none runs.
// Called before any of them starts.
void startNoDaemons();

} // namespace sheetmass::platform
