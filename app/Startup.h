#pragma once

class QApplication;

// What the program sets up before its first window: names for the data
// folder, the font that stands in for "MS Sans Serif", Qt's Russian texts.
void prepareApplication(QApplication& app);
