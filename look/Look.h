#pragma once

#include "forms/Form.h"
#include "forms/Texts.h"

#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <string_view>

namespace sheetmass {

// What both windows share of their look.

// A window of the program's own, with its design's name, title and fixed
// client size and the program's icon; shown to screen readers as a window
// with its title (see describeWindowsToScreenReaders).
class DesignedWindow : public QWidget {
    Q_OBJECT

  public:
    DesignedWindow(const forms::Window& design, QWidget* parent, Qt::WindowFlags flags);
};

// A text of the design, which forms/ holds in UTF-8.
inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Places and sizes are designed in twips, 15 to a pixel at 96 dots per inch;
// Qt scales these pixels to the screen, so the proportions hold everywhere.
inline constexpr int kLayoutDpi = 96;
constexpr int twipsToPixels(int twips) {
    return forms::twipsToPixels(twips, kLayoutDpi);
}
inline QRect twipsRect(const forms::Place& p) {
    return {twipsToPixels(p.left), twipsToPixels(p.top), twipsToPixels(p.width),
            twipsToPixels(p.height)};
}

// The design font where it is installed; Linux seldom has it, and then the
// first installed of its stand-ins shows instead. Named directly: a family
// that is not there would cost a fontconfig search at start-up for every
// font the windows make.
QFont designFont(const forms::Font& font);

// A picture of the program's resources in the format it is stored in. Left
// to guess, Qt would load and ask every image plugin installed first.
QPixmap resourcePicture(const QString& path, const char* format);

// The icon both windows carry.
QIcon programIcon();

// A light scheme whatever the desktop's: the windows' own colours are light,
// and texts of the desktop's dark theme would vanish on them. White fields,
// black texts, the given window colour.
QPalette lightScheme(QRgb window);

// Qt shows a plain widget window to screen readers as a mere "filler";
// a DesignedWindow is a window, announced with its title.
void describeWindowsToScreenReaders();

} // namespace sheetmass
