#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>

namespace sheetmass::win {

// Lets the window take text dragged onto it, from this program or another:
// `dropped` gets the text and the screen point it fell on. Needs OLE on the
// thread; the registration ends with RevokeDragDrop.
void acceptTextDrops(HWND window, std::function<void(const std::wstring&, POINT)> dropped);

} // namespace sheetmass::win
