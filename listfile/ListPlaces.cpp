#include "listfile/ListPlaces.h"

#include "fields/Utf8.h"
#include "listfile/ListFile.h"
#include "listfile/ListInputs.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Places.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

namespace sheetmass {
namespace {

constexpr std::string_view kFileName = "List.abc";
constexpr const char* kLockName = "sheetmass.lock";
// The lock's own folder, where the runtime folder lasts.
constexpr std::string_view kLockFolder = "sheetmass";

// A save of another copy of the user's takes moments; one that takes longer
// is stopped, and is not waited for.
constexpr std::chrono::milliseconds kLockWait{2000};

std::string fileIn(const std::string& folder) {
    if (folder.empty() || !platform::isAbsolute(folder))
        return {};
    return platform::joined(folder, kFileName);
}

std::string programFolder(std::string_view desktopFile) {
    // A folder named in another code page is no place: no message could
    // name it.
    const std::string executable = platform::programFile();
    if (executable.empty() || !isUtf8(executable))
        return {};
    const std::string folder = platform::folderOf(executable);
    // The folder an installer put the program in is no place for one user's
    // inputs, even where the user may write there.
    return platform::isInstalledCopy(folder, desktopFile) ? std::string() : folder;
}

// A file the rules of ListFile.h allow that opens for reading and writing,
// or none yet in a folder that takes one.
bool canKeep(const std::string& file) {
    switch (listFileState(file)) {
    case ListFileState::Usable:
        return true;
    case ListFileState::Refused:
        return false;
    case ListFileState::Missing:
        break;
    }
    return platform::folderTakesNewFiles(platform::folderOf(file));
}

std::optional<ListFileBytes> readFrom(const std::string& file) {
    if (file.empty())
        return std::nullopt;
    return readListFile(file, kListReach);
}

bool makeFolderFor(const std::string& file) {
    return platform::makeFolders(platform::folderOf(file));
}

enum class Locked { Yes, Busy, Nowhere };

// Only the user's own copies can take this lock, so no other user can hold
// up a save: in the runtime folder, else beside the data folder's copy.
// With no private place at all, the user's copies go unlocked; saves by
// rename never mix them.
Locked lockSaves(const std::string& dataFile, platform::File& held) {
    const std::string dataFolder = dataFile.empty() ? "" : platform::folderOf(dataFile);
    for (const std::string& folder : {platform::runtimeFolder(kLockFolder), dataFolder}) {
        if (folder.empty() || (folder == dataFolder && !platform::makeFolders(folder)))
            continue;
        const platform::Error error = platform::lockPrivately(folder, kLockName, kLockWait, held);
        if (error.ok())
            return Locked::Yes;
        if (error.failure() == platform::Failure::Busy)
            return Locked::Busy;
    }
    return Locked::Nowhere;
}

std::string_view reasonText(SaveFailure why) {
    switch (why) {
    case SaveFailure::ReadOnly:
        return "файл только для чтения";
    case SaveFailure::Full:
        return "на диске нет места";
    case SaveFailure::Denied:
        return "нет доступа";
    case SaveFailure::Busy:
        return "файл занят другой программой";
    case SaveFailure::Refused:
        return "это не обычный файл пользователя";
    default:
        return "не удалось записать";
    }
}

// Each place the inputs could go, with why they did not.
std::string notSaved(const std::vector<std::pair<std::string, SaveFailure>>& places) {
    if (places.empty())
        return "Введённые значения не сохранены: не удалось записать файл «" +
               std::string(kFileName) + "».";
    std::string text = "Введённые значения не сохранены: ";
    for (const auto& [file, why] : places)
        text += (&file == &places.front().first ? "«" : "; «") + file + "» — " +
                std::string(reasonText(why));
    return text + ".";
}

} // namespace

struct ListPlaces::Unsaved {
    std::mutex mutex;
    ListValues clean;             // as restored or saved last
    std::optional<Inputs> inputs; // changed since
    // The process may end on any thread; each waits for the save.
    std::recursive_mutex lastSave;
};

ListPlaces ListPlaces::forThisProgram(std::string_view program, std::string_view desktopFile) {
    return {programFolder(desktopFile), platform::dataFolder(program)};
}

ListPlaces::ListPlaces(const std::string& programFolder, const std::string& dataFolder)
    : m_programFile(fileIn(programFolder)), m_dataFile(fileIn(dataFolder)),
      m_unsaved(std::make_shared<Unsaved>()) {}

std::string ListPlaces::target() const {
    if (!m_programFile.empty() && canKeep(m_programFile))
        return m_programFile;
    return m_dataFile;
}

Inputs ListPlaces::restore() const {
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
    } else if (const std::string file = target(); !file.empty() && makeFolderFor(file)) {
        createEmptyListFile(file);
    }
    const Inputs in = inputsFromList(readListImage(chosen ? chosen->bytes : std::string()));
    const std::lock_guard lock(m_unsaved->mutex);
    m_unsaved->clean = listFromInputs(in);
    return in;
}

void ListPlaces::remember(const Inputs& in) const {
    const ListValues values = listFromInputs(in);
    const std::lock_guard lock(m_unsaved->mutex);
    if (values != m_unsaved->clean)
        m_unsaved->inputs = in;
    else
        m_unsaved->inputs.reset();
}

bool ListPlaces::saveRemembered(std::string& whyNot) const {
    const std::lock_guard saving(m_unsaved->lastSave);
    std::optional<Inputs> in;
    {
        const std::lock_guard lock(m_unsaved->mutex);
        in = m_unsaved->inputs;
    }
    return !in || save(*in, &whyNot);
}

bool ListPlaces::save(const Inputs& in, std::string* whyNot) const {
    const std::lock_guard saving(m_unsaved->lastSave);
    try {
        const ListValues values = listFromInputs(in);
        const bool saved = savedSomewhere(values);
        const std::lock_guard lock(m_unsaved->mutex);
        if (saved) {
            m_unsaved->clean = values;
            // Unless more was typed meanwhile, nothing is left to save.
            if (m_unsaved->inputs && listFromInputs(*m_unsaved->inputs) == values)
                m_unsaved->inputs.reset();
            return true;
        }
        // Kept for the next try: the next change, the close, the end.
        if (values != m_unsaved->clean)
            m_unsaved->inputs = in;
    } catch (const std::bad_alloc&) {
    }
    if (whyNot)
        *whyNot = notSaved(m_failed);
    return false;
}

bool ListPlaces::savedSomewhere(const ListValues& values) const {
    m_failed.clear();
    std::vector<std::string> places;
    for (const std::string& file : {m_programFile, m_dataFile})
        if (!file.empty())
            places.push_back(file);
    platform::File held;
    if (lockSaves(m_dataFile, held) == Locked::Busy) {
        for (const std::string& file : places)
            m_failed.emplace_back(file, SaveFailure::Busy);
        return false;
    }
    // Where the rule says; should that fail (a full disk, a link another
    // user swapped in, no memory), the data folder. A place the rule passed
    // over is tried too, for why: what it refuses it does not write.
    std::vector<std::string> order;
    for (const std::string& file : {target(), m_dataFile, m_programFile})
        if (!file.empty() && std::find(order.begin(), order.end(), file) == order.end())
            order.push_back(file);
    for (const std::string& file : order) {
        SaveFailure why = SaveFailure::Other;
        try {
            if (makeFolderFor(file) && saveListFile(file, values, &why)) {
                const std::string& other = file == m_programFile ? m_dataFile : m_programFile;
                if (!other.empty())
                    markNewerThan(file, other);
                return true;
            }
        } catch (const std::bad_alloc&) {
        }
        m_failed.emplace_back(file, why);
    }
    // In the order the user knows them: the program's folder first.
    std::stable_partition(m_failed.begin(), m_failed.end(),
                          [this](const auto& place) { return place.first == m_programFile; });
    return false;
}

} // namespace sheetmass