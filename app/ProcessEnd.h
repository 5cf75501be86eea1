#pragma once

namespace sheetmass {

// Qt ends the process by itself when the display goes away: with exit(1)
// when the X server does, with _exit(1) right after its warning when the
// Wayland compositor does, and with abort() after a fatal message. No window
// closes then. `last` runs before the process ends in any of these ways, and
// at a normal end too, where it should find nothing left to do. It must
// touch no widget: the display may be gone.
void runBeforeAnyEnd(void (*last)());

} // namespace sheetmass
