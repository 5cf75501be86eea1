#include "listfile/ListPlaces.h"

#include "fields/Utf8.h"
#include "listfile/ListFile.h"
#include "listfile/ListInputs.h"
#include "platform/Paths.h"
#include "platform/Places.h"

#include <mutex>
#include <new>
#include <optional>
#include <vector>

namespace sheetmass {
namespace {

constexpr std::string_view kFileName = "List.abc";

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
    // An installed copy has its desktop entry beside its bin folder, in any
    // prefix; the system's program folder is no place for one user's inputs.
    const bool installed = platform::exists(folder + "/../share/applications/" +
                                            std::string(desktopFile) + ".desktop");
    return installed ? std::string() : folder;
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

std::string notSaved(const std::string& programFile, const std::string& dataFile) {
    std::vector<std::string> places;
    for (const std::string& file : {programFile, dataFile})
        if (!file.empty())
            places.push_back(file);
    if (places.size() < 2)
        return "Введённые значения не сохранены: не удалось записать файл «" +
               (places.empty() ? std::string(kFileName) : places[0]) + "».";
    return "Введённые значения не сохранены: не удалось записать ни файл «" + places[0] +
           "», ни файл «" + places[1] + "».";
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
        in.swap(m_unsaved->inputs);
    }
    return !in || save(*in, &whyNot);
}

bool ListPlaces::save(const Inputs& in, std::string* whyNot) const {
    {
        const std::lock_guard lock(m_unsaved->mutex);
        m_unsaved->inputs.reset();
    }
    // Where the rule says; should that fail (a full disk, a link another
    // user swapped in, no memory), the data folder.
    std::string tried;
    for (const bool byRule : {true, false}) {
        try {
            const std::string file = byRule ? target() : m_dataFile;
            if (file.empty() || file == tried)
                continue;
            tried = file;
            const ListValues values = listFromInputs(in);
            if (makeFolderFor(file) && saveListFile(file, values)) {
                const std::string& other = file == m_programFile ? m_dataFile : m_programFile;
                if (!other.empty())
                    markNewerThan(file, other);
                const std::lock_guard lock(m_unsaved->mutex);
                m_unsaved->clean = values;
                return true;
            }
        } catch (const std::bad_alloc&) {
        }
    }
    if (whyNot)
        *whyNot = notSaved(m_programFile, m_dataFile);
    return false;
}

} // namespace sheetmass
