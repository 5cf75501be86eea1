#pragma once

class QApplication;

// What the program sets up before its first window: names for the data
// folder, the font that stands in for "MS Sans Serif", Qt's Russian texts.
void PrepareApplication(QApplication& app);

class QString;

// Where List.abc lives: beside the executable, as a copy carried on a stick
// or unpacked anywhere expects; for the installed program, the user's data
// folder, so that no user's inputs land in the system's program folder.
QString InputsFolder();
