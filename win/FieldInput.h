#pragma once

#include "forms/Form.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>

namespace sheetmass::win {

// What a field needs of its window: to be told of a pick it made itself
// (a pasted entry, a spelled one), and to show a refusal.
struct FieldOwner {
    std::function<void(HWND list)> picked;
    std::function<void(HWND field, const std::string& tip)> refused;
};

// Puts the field's rule between the keyboard, the clipboard and its edit
// part: every typed character through the key filter, every text at once
// (Ctrl+V, Shift+Insert, the context menu's paste) through the paste rule,
// each refusal told. `field` is the edit, or the list whose edit part takes
// the keys.
void filterInput(HWND field, const forms::Control& design, const FieldOwner& owner);

// Text dragged onto a filtered field goes through the same rule as a paste.
// OLE must be up on the thread.
void acceptDrops(HWND field);

} // namespace sheetmass::win
