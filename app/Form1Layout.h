#pragma once

class QWidget;

namespace sheetmass {

// Makes the main window's controls from its design (forms/Form1.h), each
// with its objectName, place, font, colours, texts, fixed list entries, tab
// order and accessible name.
void buildForm1Controls(QWidget* window);

} // namespace sheetmass
