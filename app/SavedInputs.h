#pragma once

#include "calc/Inputs.h"

#include <QString>

#include <memory>

namespace sheetmass {

// Where the window's inputs are kept between runs, and the one place that
// decides it. List.abc lives in the program's folder when it can be read
// and written there; otherwise, and for an installed copy, in the user's
// data folder. When both hold one, the copy saved last is restored. No other
// file is ever read or written, and a List.abc that is a link counts only
// when the rules of ListFile.h allow it. Copies of one SavedInputs share
// what was remembered.
class SavedInputs {
  public:
    // This program's two places. The program folder is left out when the
    // copy is installed, or when its name cannot be decoded. Should Qt end
    // the process before the window closes (the display gone), the inputs
    // remembered last are saved then.
    static SavedInputs forThisProgram();

    // An empty folder is no place.
    SavedInputs(QString programFolder, QString dataFolder);

    // The inputs saved last, places as the text of the stored number.
    // Creates an empty List.abc where the next save will go when neither
    // place has one. Never fails: any trouble gives the empty inputs, with
    // places "0".
    Inputs restore() const;

    // Writes the inputs over the chosen file as it is now. A places text that
    // is no number keeps the stored number. False, with the reason in
    // Russian, when no place took them.
    bool save(const Inputs& in, QString* whyNot = nullptr) const;

    // The inputs as they stand after a change, for a save at the process's
    // end when no other save came after them.
    void remember(const Inputs& in) const;

  private:
    struct Unsaved;

    QString target() const;
    void saveRemembered() const;

    QString m_programFile;
    QString m_dataFile;
    std::shared_ptr<Unsaved> m_unsaved;
};

} // namespace sheetmass
