#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>

namespace sheetmass::win {

// What the main window gets for a file dropped on it or on any of its
// fields, posted once the drop has ended, so that the program it came from
// is not kept waiting by what the window then shows: lParam, a
// std::wstring* of the file's path, is the window's to delete.
inline constexpr UINT kFileDropped = WM_APP + 2;

// Lets the window take text dragged onto it, from this program or another:
// `dropped` gets the text and the screen point it fell on; a file goes to
// the window it is in as kFileDropped. Needs OLE on the thread; the
// registration ends with RevokeDragDrop.
void acceptTextDrops(HWND window, std::function<void(const std::wstring&, POINT)> dropped);

// Lets the main window take files dragged onto it, as kFileDropped.
void acceptFileDrops(HWND window);

} // namespace sheetmass::win
