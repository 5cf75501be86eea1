#pragma once

#include "behaviour/Answer.h"
#include "forms/Form.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>

namespace sheetmass::behaviour {
class Form1Behaviour;
}

namespace sheetmass::win {

// What a field needs of its window: the behaviour to ask, and the window to
// show an answer, `edit` being where a text it brings goes.
struct FieldOwner {
    behaviour::Form1Behaviour* behaviour = nullptr;
    std::function<void(const behaviour::Answer&, HWND edit)> show;
};

// Hands every key, paste and drop of a field to the behaviour before its
// edit part sees it: every typed character, every text at once (Ctrl+V,
// Shift+Insert, the context menu's paste), the keys that reach a list while
// its drop-down is open. `field` is the edit, or the list whose edit part
// takes the keys.
void filterInput(HWND field, const forms::Control& design, const FieldOwner& owner);

// Text dragged onto a field goes the same way as a paste. OLE must be up on
// the thread.
void acceptDrops(HWND field);

} // namespace sheetmass::win
