#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace sheetmass::win {

// The calculator window, made and shown; the program ends when it closes.
HWND showForm1(HINSTANCE instance, int show);

} // namespace sheetmass::win
