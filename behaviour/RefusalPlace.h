#pragma once

#include "forms/Form.h"

namespace sheetmass::behaviour {

// A rectangle on the screen in pixels, right and bottom just past it.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct ScreenPoint {
    int x = 0, y = 0;
};
struct ScreenSize {
    int width = 0, height = 0;
};

// Where a refusal's tooltip of that size goes, its top left corner: on the
// screen's available rectangle, and clear of every field and list of the
// window (the refusing one and the one above it among them) wherever the
// screen has room for that: beside the field on its right, else on its
// left, else below all the window's inputs, else above them; where none is
// clear, where it covers least. The others are placed from `fieldOnScreen`
// as the design places them from the field, laid out at `dpi` (96: a pixel
// to 15 twips).
ScreenPoint refusalPlace(const forms::Window& window, const forms::Control& field,
                         ScreenRect fieldOnScreen, int dpi, ScreenSize tip, ScreenRect screen);

} // namespace sheetmass::behaviour
