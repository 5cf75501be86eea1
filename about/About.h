#pragma once

class Форма2;

// Shows the About window: creates the one window of the run on the first call,
// shows it centred when it is closed, and brings it to the front when it is
// already open. Returns at once; the window is modeless and has no owner.
void ShowAbout();

// The About window once ShowAbout has made it; nullptr before.
Форма2* AboutWindow();
