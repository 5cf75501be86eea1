#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace sheetmass::win {

// The calculator window, shown at once with what its controls will hold;
// the program ends when it closes. `file`, when named, is given to it once
// its controls are up.
HWND showForm1(HINSTANCE instance, int show, std::wstring file = {});

// Makes the window's controls, once its queue is first empty.
void finishForm1(HWND window);

// Input that comes before the controls are made makes them first, and
// goes to the control it was meant for.
void beforeDispatch(HWND window, MSG& message);

} // namespace sheetmass::win
