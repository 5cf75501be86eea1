#include "app/SavedInputs.h"

#include "app/ProcessEnd.h"
#include "listfile/ListFile.h"
#include "listfile/ListInputs.h"
#include "platform/Places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <mutex>
#include <new>
#include <optional>

namespace sheetmass {
namespace {

constexpr auto kFileName = "List.abc";

std::string nameOf(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fileIn(const QString& folder) {
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        return {};
    return QDir(folder).filePath(QString::fromLatin1(kFileName));
}

QString programFolder() {
    // A folder named in another code page has no exact name here: Qt gives
    // an empty path, or another folder's. Such a folder is no place.
    const QString executable = QCoreApplication::applicationFilePath();
    if (executable.isEmpty() || nameOf(executable) != platform::programFile())
        return {};
    const QString folder = QFileInfo(executable).absolutePath();
    // An installed copy has its desktop entry beside its bin folder, in any
    // prefix; the system's program folder is no place for one user's inputs.
    const bool installed =
        QFileInfo::exists(folder + QStringLiteral("/../share/applications/") +
                          QGuiApplication::desktopFileName() + QStringLiteral(".desktop"));
    return installed ? QString() : folder;
}

// Not Qt's: Qt 6.4 takes a relative XDG_DATA_HOME as it is.
QString dataFolder() {
    return QFile::decodeName(
        platform::dataFolder(nameOf(QCoreApplication::applicationName())).c_str());
}

// A file the rules of ListFile.h allow that opens for reading and writing,
// or none yet in a folder that takes one.
bool canKeep(const QString& file) {
    switch (listFileState(nameOf(file))) {
    case ListFileState::Usable:
        return true;
    case ListFileState::Refused:
        return false;
    case ListFileState::Missing:
        break;
    }
    return platform::folderTakesNewFiles(nameOf(QFileInfo(file).path()));
}

std::optional<ListFileBytes> readFrom(const QString& file) {
    if (file.isEmpty())
        return std::nullopt;
    return readListFile(nameOf(file), kListReach);
}

bool makeFolderFor(const QString& file) {
    return QDir().mkpath(QFileInfo(file).path());
}

} // namespace

struct SavedInputs::Unsaved {
    std::mutex mutex;
    ListValues clean;             // as restored or saved last
    std::optional<Inputs> inputs; // changed since
    // Qt's threads may each end the process; each waits for the save.
    std::recursive_mutex lastSave;
};

SavedInputs SavedInputs::forThisProgram() {
    SavedInputs saved(programFolder(), dataFolder());
    // Never freed: the process may end at any moment, static destructors and all.
    static const SavedInputs* const last = new SavedInputs(saved);
    runBeforeAnyEnd([] { last->saveRemembered(); });
    return saved;
}

SavedInputs::SavedInputs(QString programFolder, QString dataFolder)
    : m_programFile(fileIn(programFolder)), m_dataFile(fileIn(dataFolder)),
      m_unsaved(std::make_shared<Unsaved>()) {}

QString SavedInputs::target() const {
    if (!m_programFile.isEmpty() && canKeep(m_programFile))
        return m_programFile;
    return m_dataFile;
}

Inputs SavedInputs::restore() const {
    const auto own = readFrom(m_programFile);
    const auto data = readFrom(m_dataFile);
    const ListFileBytes* chosen = nullptr;
    if (own && data) {
        // Saved last wins; on a tie, the place the next save goes to.
        const bool ownFirst = own->modified != data->modified ? own->modified > data->modified
                                                              : target() == m_programFile;
        chosen = ownFirst ? &*own : &*data;
    } else if (own || data) {
        chosen = own ? &*own : &*data;
    } else if (const QString file = target(); !file.isEmpty() && makeFolderFor(file)) {
        createEmptyListFile(nameOf(file));
    }
    const Inputs in = inputsFromList(readListImage(chosen ? chosen->bytes : std::string()));
    const std::lock_guard lock(m_unsaved->mutex);
    m_unsaved->clean = listFromInputs(in);
    return in;
}

void SavedInputs::remember(const Inputs& in) const {
    const ListValues values = listFromInputs(in);
    const std::lock_guard lock(m_unsaved->mutex);
    if (values != m_unsaved->clean)
        m_unsaved->inputs = in;
    else
        m_unsaved->inputs.reset();
}

void SavedInputs::saveRemembered() const {
    const std::lock_guard saving(m_unsaved->lastSave);
    std::optional<Inputs> in;
    {
        const std::lock_guard lock(m_unsaved->mutex);
        in.swap(m_unsaved->inputs);
    }
    QString whyNot;
    if (in && !save(*in, &whyNot))
        qWarning("%s", qUtf8Printable(whyNot));
}

bool SavedInputs::save(const Inputs& in, QString* whyNot) const {
    {
        const std::lock_guard lock(m_unsaved->mutex);
        m_unsaved->inputs.reset();
    }
    // Where the rule says; should that fail (a full disk, a link another
    // user swapped in, no memory), the data folder.
    QString tried;
    for (const bool byRule : {true, false}) {
        try {
            const QString file = byRule ? target() : m_dataFile;
            if (file.isEmpty() || file == tried)
                continue;
            tried = file;
            const ListValues values = listFromInputs(in);
            if (makeFolderFor(file) && saveListFile(nameOf(file), values)) {
                const QString other = file == m_programFile ? m_dataFile : m_programFile;
                if (!other.isEmpty())
                    markNewerThan(nameOf(file), nameOf(other));
                const std::lock_guard lock(m_unsaved->mutex);
                m_unsaved->clean = values;
                return true;
            }
        } catch (const std::bad_alloc&) {
        }
    }
    if (whyNot) {
        QStringList places;
        for (const QString& file : {m_programFile, m_dataFile})
            if (!file.isEmpty())
                places << QDir::toNativeSeparators(file);
        *whyNot = places.size() < 2
                      ? QStringLiteral("Введённые значения не сохранены: не удалось записать файл "
                                       "«%1».")
                            .arg(places.value(0, QString::fromLatin1(kFileName)))
                      : QStringLiteral("Введённые значения не сохранены: не удалось записать ни "
                                       "файл «%1», ни файл «%2».")
                            .arg(places[0], places[1]);
    }
    return false;
}

} // namespace sheetmass
