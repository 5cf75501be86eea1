#pragma once

#include "calc/Inputs.h"

#include <QString>

#include <memory>

namespace sheetmass {

class ListPlaces;

// The window's side of ListPlaces (listfile/ListPlaces.h), which decides
// where the inputs are kept between runs: Qt's names for the program and
// its texts. Copies of one SavedInputs share what was remembered.
class SavedInputs {
  public:
    // This program's two places. Should Qt end the process before the
    // window closes (the display gone), the inputs remembered last are
    // saved then.
    static SavedInputs forThisProgram();

    // An empty folder is no place.
    SavedInputs(const QString& programFolder, const QString& dataFolder);

    // As ListPlaces has them.
    Inputs restore() const;
    bool save(const Inputs& in, QString* whyNot = nullptr) const;
    void remember(const Inputs& in) const;
    // Saves what was remembered and is not saved yet; what no place takes
    // stays remembered.
    bool saveRemembered() const;

    const ListPlaces& places() const { return *m_places; }

  private:
    explicit SavedInputs(ListPlaces places);

    std::shared_ptr<const ListPlaces> m_places;
};

} // namespace sheetmass
