#pragma once

#include <QPalette>
#include <QRect>

class QWidget;

namespace sheetmass {

// What both windows share of their look.

// Places and sizes are designed in twips, 15 to a pixel at 96 dots per inch;
// Qt scales these pixels to the screen, so the proportions hold everywhere.
constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// The face all texts are designed in; Linux has none of that name, so a
// sans with Cyrillic and narrow enough bold letters stands in for it.
inline constexpr const char* kDesignFont = "MS Sans Serif";
void substituteDesignFont();

// A light scheme whatever the desktop's: the windows' own colours are light,
// and texts of the desktop's dark theme would vanish on them. White fields,
// black texts, the given window colour.
QPalette lightScheme(QRgb window);

// Qt shows a plain widget window to screen readers as a mere "filler";
// both windows are windows, announced with their titles.
void describeWindowsToScreenReaders();

} // namespace sheetmass
