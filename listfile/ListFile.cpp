#include "listfile/ListFile.h"

#include "platform/Files.h"
#include "platform/Replace.h"

#include <algorithm>
#include <new>

namespace sheetmass {
namespace {

using platform::Access;
using platform::CheckedFile;
using platform::Error;
using platform::Failure;

// Temporary files of a save start so, followed by six letters or digits.
constexpr std::string_view kTempPrefix = ".List.abc.";

std::optional<std::string> readUpTo(const platform::File& file, std::size_t limit) {
    std::string bytes;
    char buffer[16384];
    while (bytes.size() < limit) {
        std::size_t got = 0;
        if (!platform::readAt(file, bytes.size(), buffer,
                              std::min(sizeof buffer, limit - bytes.size()), got)
                 .ok())
            return std::nullopt;
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    return bytes;
}

// Everything from `at` to the end, to the same offsets, a piece at a time
// and only where `from` holds data: its holes stay holes.
bool copyRest(const platform::File& from, const platform::File& to, std::uint64_t at) {
    char buffer[65536];
    for (;;) {
        std::uint64_t start = 0, end = 0;
        if (!platform::nextData(from, at, start, end).ok())
            return false;
        if (start == end)
            return platform::extendTo(to, end).ok();
        for (at = start; at < end;) {
            std::size_t got = 0;
            if (!platform::readAt(from, at, buffer,
                                  std::min<std::uint64_t>(sizeof buffer, end - at), got)
                     .ok())
                return false;
            if (got == 0) // shorter than it was
                return true;
            if (!platform::writeAt(to, std::string_view(buffer, got), at).ok())
                return false;
            at += got;
        }
    }
}

// The file's start up to the end of the last item written; the rest is
// copied from the old file, where holes stay holes.
std::string itemsOver(const ListValues& values, std::string_view old) {
    std::size_t reach = 0;
    for (const ListItem& item : listItems(values, old))
        reach = std::max(reach, item.at + item.bytes.size());
    return writeListImage(values, old).substr(0, reach);
}

enum class Replaced { Yes, No, FolderTakesNoFile };

// The new bytes go to a file beside the old one that then replaces it: a
// save cut short anywhere leaves the old file whole.
Replaced replaceWhole(const CheckedFile& list, const std::string& image) {
    if (list.file.ok())
        platform::removeLeftovers(list.folder, kTempPrefix);
    platform::Replacement out;
    if (const Error error = out.begin(list.folder, kTempPrefix, list.file); !error.ok())
        return error.failure() == Failure::Denied ? Replaced::FolderTakesNoFile : Replaced::No;
    const bool written = platform::writeAt(out.file(), image, 0).ok() &&
                         (!list.file.ok() || copyRest(list.file, out.file(), image.size())) &&
                         out.commit(list.name).ok();
    return written ? Replaced::Yes : Replaced::No;
}

bool writeItemsInPlace(const platform::File& file, const ListValues& values, std::string_view old) {
    for (const ListItem& item : listItems(values, old))
        if (!platform::writeAt(file, item.bytes, item.at).ok())
            return false;
    return platform::sync(file).ok();
}

bool save(const std::string& path, const ListValues& values) {
    CheckedFile list;
    if (const Failure opened = platform::openChecked(path, Access::ReadWrite, list).failure();
        opened != Failure::None && opened != Failure::Missing)
        return false;
    std::string old;
    if (list.file.ok()) {
        // No item reaches further; the rest is copied as it stands.
        auto head = readUpTo(list.file, kListReach);
        if (!head)
            return false;
        old = std::move(*head);
    }
    switch (replaceWhole(list, itemsOver(values, old))) {
    case Replaced::Yes:
        return true;
    case Replaced::No:
        return false;
    case Replaced::FolderTakesNoFile:
        break;
    }
    // Written in place, a file with a second name would change under that
    // name too.
    return list.file.ok() && list.facts.names == 1 && writeItemsInPlace(list.file, values, old) &&
           list.file.close().ok();
}

} // namespace

ListFileState listFileState(const std::string& path) {
    CheckedFile list;
    switch (platform::openChecked(path, Access::ReadWrite, list).failure()) {
    case Failure::None:
        return ListFileState::Usable;
    case Failure::Missing:
        return ListFileState::Missing;
    default:
        return ListFileState::Refused;
    }
}

std::optional<ListFileBytes> readListFile(const std::string& path, std::size_t limit) {
    CheckedFile list;
    if (!platform::openChecked(path, Access::Read, list).ok())
        return std::nullopt;
    auto bytes = readUpTo(list.file, limit);
    if (!bytes)
        return std::nullopt;
    return ListFileBytes{std::move(*bytes), list.facts.modified};
}

bool createEmptyListFile(const std::string& path) {
    CheckedFile list;
    switch (platform::openChecked(path, Access::Read, list).failure()) {
    case Failure::None:
        return true;
    case Failure::Missing:
        return platform::createNew(list.folder, list.name).ok();
    default:
        return false;
    }
}

bool saveListFile(const std::string& path, const ListValues& values) {
    try {
        return save(path, values);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void markNewerThan(const std::string& path, const std::string& other) {
    CheckedFile mine, theirs;
    if (!platform::openChecked(path, Access::Read, mine).ok() ||
        !platform::openChecked(other, Access::Read, theirs).ok())
        return;
    const std::int64_t after = theirs.facts.modified + 1;
    if (mine.facts.modified < after) [[maybe_unused]]
        const Error ignored = platform::setModified(mine.file, after);
}

} // namespace sheetmass
