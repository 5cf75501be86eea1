#pragma once

namespace sheetmass {

// A file-size limit, or a standard error whose reader is gone, makes a
// write fail instead of ending the program. First thing at start: Qt may
// warn while it starts.
void failWritesInsteadOfEnding();

// Turns SIGTERM, SIGHUP and SIGINT (a session that ends, a closed terminal,
// Ctrl+C) into an orderly quit of the event loop, so that the inputs are
// saved as on any other way out.
void quitOnSignals();

} // namespace sheetmass
