#include "app/SavedInputs.h"

#include "app/ListFile.h"
#include "app/ListInputs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <climits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The running executable's path as the system names it.
std::string executableName() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

QString programFolder() {
    // A folder named in another code page has no exact name here: Qt gives
    // an empty path, or another folder's. Such a folder is no place.
    const QString executable = QCoreApplication::applicationFilePath();
    if (executable.isEmpty() || nameOf(executable) != executableName())
        return {};
    const QString folder = QFileInfo(executable).absolutePath();
    // An installed copy has its desktop entry beside its bin folder, in any
    // prefix; the system's program folder is no place for one user's inputs.
    const bool installed =
        QFileInfo::exists(folder + QStringLiteral("/../share/applications/") +
                          QGuiApplication::desktopFileName() + QStringLiteral(".desktop"));
    return installed ? QString() : folder;
}

// A regular file that may be read and written, or none yet in a folder
// that takes one.
bool canKeep(const QString& file) {
    const std::string name = nameOf(file);
    struct stat st;
    if (::stat(name.c_str(), &st) == 0)
        return S_ISREG(st.st_mode) &&
               ::faccessat(AT_FDCWD, name.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
    if (errno != ENOENT || ::lstat(name.c_str(), &st) == 0) // a dangling link
        return false;
    const std::string folder = nameOf(QFileInfo(file).path());
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
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

SavedInputs SavedInputs::forThisProgram() {
    return {programFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
}

SavedInputs::SavedInputs(QString programFolder, QString dataFolder)
    : m_programFile(fileIn(programFolder)), m_dataFile(fileIn(dataFolder)) {}

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
    return inputsFromList(readListImage(chosen ? chosen->bytes : std::string()));
}

bool SavedInputs::save(const Inputs& in, QString* whyNot) const {
    const ListValues values = listFromInputs(in);
    // Where the rule says; should that fail (a full disk), the data folder.
    QStringList order{target()};
    if (order.front() != m_dataFile)
        order << m_dataFile;
    for (const QString& file : order) {
        if (file.isEmpty())
            continue;
        if (makeFolderFor(file) && saveListFile(nameOf(file), values)) {
            const QString other = file == m_programFile ? m_dataFile : m_programFile;
            if (!other.isEmpty())
                markNewerThan(nameOf(file), nameOf(other));
            return true;
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
