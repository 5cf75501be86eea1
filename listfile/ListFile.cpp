#include "listfile/ListFile.h"

#include "platform/Files.h"
#include "platform/Replace.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
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

SaveFailure reasonOf(Failure failure) {
    switch (failure) {
    case Failure::None:
        return SaveFailure::None;
    case Failure::Denied:
        return SaveFailure::Denied;
    case Failure::Busy:
        return SaveFailure::Busy;
    case Failure::Full:
        return SaveFailure::Full;
    case Failure::Refused:
        return SaveFailure::Refused;
    default:
        return SaveFailure::Other;
    }
}

// A file the user may not write is read-only to them where they may read it.
SaveFailure unopened(const std::string& path, Failure failure) {
    CheckedFile readable;
    if (failure == Failure::Denied && platform::openChecked(path, Access::Read, readable).ok())
        return SaveFailure::ReadOnly;
    return reasonOf(failure);
}

// The first failure of the steps, or none.
Failure firstOf(std::initializer_list<std::function<Error()>> steps) {
    for (const auto& step : steps)
        if (const Error error = step(); !error.ok())
            return error.failure() == Failure::None ? Failure::Other : error.failure();
    return Failure::None;
}

struct Replaced {
    bool began; // not: the folder takes no new file, when failure is Denied
    Failure failure;
};

// The new bytes go to a file beside the old one that then replaces it: a
// save cut short anywhere leaves the old file whole.
Replaced replaceWhole(const CheckedFile& list, const std::string& image) {
    if (list.file.ok())
        platform::removeLeftovers(list.folder, kTempPrefix);
    platform::Replacement out;
    if (const Error error = out.begin(list.folder, kTempPrefix, list.file); !error.ok())
        return {false, error.failure()};
    return {true, firstOf({[&] { return platform::writeAt(out.file(), image, 0); },
                           [&] {
                               return !list.file.ok() ||
                                              copyRest(list.file, out.file(), image.size())
                                          ? Error()
                                          : Error(Failure::Other, 0);
                           },
                           [&] { return out.commit(list.name); }})};
}

Failure writeItemsInPlace(const platform::File& file, const ListValues& values,
                          std::string_view old) {
    for (const ListItem& item : listItems(values, old))
        if (const Error error = platform::writeAt(file, item.bytes, item.at); !error.ok())
            return error.failure();
    return platform::sync(file).failure();
}

SaveFailure save(const std::string& path, const ListValues& values) {
    CheckedFile list;
    if (const Failure opened = platform::openChecked(path, Access::ReadWrite, list).failure();
        opened != Failure::None && opened != Failure::Missing)
        return unopened(path, opened);
    std::string old;
    if (list.file.ok()) {
        // No item reaches further; the rest is copied as it stands.
        auto head = readUpTo(list.file, kListReach);
        if (!head)
            return SaveFailure::Other;
        old = std::move(*head);
    }
    if (const Replaced replaced = replaceWhole(list, itemsOver(values, old));
        replaced.began || replaced.failure != Failure::Denied)
        return reasonOf(replaced.failure);
    // The folder takes no new file. Written in place, a file with a second
    // name would change under that name too.
    if (!list.file.ok())
        return SaveFailure::Denied;
    if (list.facts.names != 1)
        return SaveFailure::Refused;
    if (const Failure written = writeItemsInPlace(list.file, values, old); written != Failure::None)
        return reasonOf(written);
    return reasonOf(list.file.close().failure());
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

bool saveListFile(const std::string& path, const ListValues& values, SaveFailure* why) {
    SaveFailure failure = SaveFailure::Other;
    try {
        failure = save(path, values);
    } catch (const std::bad_alloc&) {
    }
    if (why)
        *why = failure;
    return failure == SaveFailure::None;
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
