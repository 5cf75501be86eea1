#pragma once

#include "calc/Inputs.h"

#include <QString>

class QByteArray;

// List.abc: the nine inputs of the main window between runs. Kept beside the
// executable; where that folder takes no such file (an installed copy), in
// the user's data folder under the same name.
class InputsFile {
  public:
    explicit InputsFile(QString programFolder);

    // The saved texts for the controls; places as the text of the stored
    // number. Creates an empty List.abc when there is none. Never fails: any
    // trouble gives the empty inputs with places "0".
    sheetmass::Inputs restore();

    // Writes the inputs over the file's current bytes and replaces the file
    // as a whole. A places text that is no number leaves the stored number as
    // it was. False, with the reason in Russian, when no place took them.
    bool save(const sheetmass::Inputs& in, QString* whyNot = nullptr);

    // The file the last restore or save used.
    QString path() const { return m_path; }

  private:
    QString programFile() const;
    static QString dataFile();
    static bool readOrCreate(const QString& file, QByteArray* bytes);
    static bool readOnly(const QString& file, QByteArray* bytes);
    static bool writeOver(const QString& file, const sheetmass::Inputs& in);

    QString m_programFolder;
    QString m_path;
};
