#pragma once

class QWidget;

namespace sheetmass {

// Shows the About window: creates the one window of the run on the first call,
// shows it centred on the screen that holds `from` when it is closed, and
// brings it to the front when it is already open. Returns at once; the window
// is modeless and has no owner.
void showAbout(const QWidget* from);

// Closes the About window if it is open: it goes with the main window, so
// that closing that ends the program.
void closeAbout();

} // namespace sheetmass
