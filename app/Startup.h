#pragma once

class QApplication;

// What the program sets up before its first window: names for the data
// folder, the font that stands in for "MS Sans Serif", Qt's Russian texts.
namespace sheetmass {

void prepareApplication(QApplication& app);

} // namespace sheetmass
