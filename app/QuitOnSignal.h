#pragma once

namespace sheetmass {

// Turns every request to end that can be caught (a session that ends, a
// closed terminal, Ctrl+C, Ctrl+\, a power failure, a spent time limit,
// platform/Process.h has the list) into an orderly quit of the event loop,
// so that the inputs are saved as on any other way out.
void quitOnSignals();

} // namespace sheetmass
