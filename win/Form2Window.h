#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace sheetmass::win {

// The About window over its owner, one at a time, centred on the owner's
// monitor; Escape closes it.
void showForm2(HWND owner);

// Whether the message was one of the About window's dialog keys.
bool form2Keys(MSG& message);

} // namespace sheetmass::win
