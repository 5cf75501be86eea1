#include "platform/Process.h"

namespace sheetmass::platform {

// Windows neither ends a program over a full pipe nor over a file-size limit.
void failWritesInsteadOfEnding() {}

// The console program has no event loop to wake; the window will bring one.
std::optional<Native> watchEndRequests() {
    return std::nullopt;
}

void takeEndRequests() {}

// No library here starts a daemon of its own.
void startNoDaemons() {}

} // namespace sheetmass::platform
