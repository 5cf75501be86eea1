#pragma once

#include <QHash>

class QWidget;

namespace sheetmass::forms {
struct Control;
}

namespace sheetmass {

// Makes the main window's controls from its design (forms/Form1.h), each
// with its objectName, place, font, colours, texts, fixed list entries, tab
// order and accessible name; each found by its row of the design.
using Controls = QHash<const forms::Control*, QWidget*>;
Controls buildForm1Controls(QWidget* window);

} // namespace sheetmass
