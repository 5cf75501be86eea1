#pragma once

#include "calc/Inputs.h"
#include "listfile/ListFile.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sheetmass {

struct ListValues;

// Where the window's inputs are kept between runs, and the one place that
// decides it. List.abc lives in the program's folder when it can be read
// and written there; otherwise, and for an installed copy, in the user's
// data folder. When both hold one, the copy saved last is restored. No other
// file of inputs is ever read or written (the saves' lock is an empty file,
// sheetmass.lock, in the runtime folder or else the data folder), and a
// List.abc counts only when the rules of ListFile.h allow it. Copies of one ListPlaces share what
// was remembered. Paths as the seam takes them; no window system.
class ListPlaces {
  public:
    // This program's two places. The program folder is left out when the
    // copy is installed (platform::isInstalledCopy: on Linux its desktop
    // entry, `desktopFile`, lies beside its bin folder; on Windows its
    // uninstaller beside it), or when its name is not UTF-8. `program` names
    // the data folder.
    static ListPlaces forThisProgram(std::string_view program, std::string_view desktopFile);

    // An empty or relative folder is no place.
    ListPlaces(const std::string& programFolder, const std::string& dataFolder);

    // The inputs saved last, places as the text of the stored number.
    // Creates an empty List.abc where the next save will go when neither
    // place has one. Never fails: any trouble gives the empty inputs, with
    // places "0".
    Inputs restore() const;

    // Writes the inputs over the chosen file as it is now. A places text that
    // is no number keeps the stored number. False, with the reason in
    // Russian, when no place took them; they are then remembered for the
    // next save. Only the user's own copies of the program can hold a save
    // up, with a lock no other user can take.
    bool save(const Inputs& in, std::string* whyNot = nullptr) const;

    // The inputs as they stand after a change, for a save at the process's
    // end when no other save came after them.
    void remember(const Inputs& in) const;

    // That save, and any save the remembered inputs are waiting for: false,
    // with the reason, when there were inputs to save and no place took
    // them, which then stay remembered. Any thread may call it, and each
    // waits for the save.
    bool saveRemembered(std::string& whyNot) const;

  private:
    struct Unsaved;

    std::string target() const;
    bool savedSomewhere(const ListValues& values) const;

    std::string m_programFile;
    std::string m_dataFile;
    std::shared_ptr<Unsaved> m_unsaved;
    // The places the last save failed in, and why.
    mutable std::vector<std::pair<std::string, SaveFailure>> m_failed;
};

} // namespace sheetmass
