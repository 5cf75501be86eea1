#pragma once

#include "behaviour/Answer.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace sheetmass::win {

// The file named on the command line, as Explorer's "open with" and a drop
// on the program's icon name it; empty when none is.
std::wstring givenFile();

// The box that tells of a file given to the window, over `window`; its
// button opens the result in the program the system has for it, or else
// its folder with the result picked.
void showFileBox(HWND window, const behaviour::Answer::FileBox& box);

} // namespace sheetmass::win
