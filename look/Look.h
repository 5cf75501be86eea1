#pragma once

#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QWidget>

namespace sheetmass {

// What both windows share of their look.

// A window of the program's own: shown to screen readers as a window with
// its title (see describeWindowsToScreenReaders).
class DesignedWindow : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;
};

// Places and sizes are designed in twips, 15 to a pixel at 96 dots per inch;
// Qt scales these pixels to the screen, so the proportions hold everywhere.
constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}
inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// The face all texts are designed in, where it is installed; Linux seldom
// has it, and then the first installed of its stand-ins, sans faces with
// Cyrillic and bold letters narrow enough for every caption's room, shows
// instead. Named directly: a family that is not there would cost a
// fontconfig search at start-up for every font the windows make.
inline constexpr const char* kDesignFont = "MS Sans Serif";
QFont designFont(qreal points, bool bold);

// A picture of the program's resources in the format it is stored in. Left
// to guess, Qt would load and ask every image plugin installed first.
QPixmap resourcePicture(const QString& path, const char* format);

// The icon both windows carry.
QIcon programIcon();

// A light scheme whatever the desktop's: the windows' own colours are light,
// and texts of the desktop's dark theme would vanish on them. White fields,
// black texts, the given window colour.
QPalette lightScheme(QRgb window);

// The main window's colours behind its controls, and behind those in its frame.
inline constexpr QRgb kWindowBackground = 0xF5FFFA;
inline constexpr QRgb kFrameBackground = 0xFFFFF5;

// Qt shows a plain widget window to screen readers as a mere "filler";
// a DesignedWindow is a window, announced with its title.
void describeWindowsToScreenReaders();

} // namespace sheetmass
