#pragma once

namespace sheetmass {

// Turns SIGTERM, SIGHUP and SIGINT (a session that ends, a closed terminal,
// Ctrl+C) into an orderly quit of the event loop, so that the inputs are
// saved as on any other way out.
void quitOnSignals();

} // namespace sheetmass
