#include "batch/FileBatch.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Streams.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sheetmass {
namespace {

using platform::Error;
using platform::Failure;

// Enough names for a folder of results; past them something is amiss.
constexpr int kMostResults = 99;
// Enough of what the batch said for the lines kept.
constexpr std::size_t kSaidRead = 64 * 1024;
constexpr std::string_view kProgram = "sheetmass: ";

// The result's file, made new in the input's folder, reached as every
// checked open reaches it.
struct Made {
    platform::Folder folder;
    std::string name;
    platform::File file;
};

Error makeResult(const std::string& input, Made& made, std::string& path) {
    const std::string folder = platform::folderOf(input);
    const std::string name = platform::nameOf(input);
    for (int n = 1; n <= kMostResults; ++n) {
        path = platform::joined(folder, resultName(name, n));
        platform::CheckedFile at;
        const Error looked = platform::openChecked(path, platform::Access::Read, at);
        // Something else has the name: a file, or what the rule refuses in a
        // folder it reached.
        if (looked.ok() || (looked.failure() == Failure::Refused && at.folder.ok()))
            continue;
        if (looked.failure() != Failure::Missing)
            return looked;
        const Error created = platform::createNew(at.folder, at.name, made.file);
        if (created.ok()) {
            made.folder = std::move(at.folder);
            made.name = std::move(at.name);
            return {};
        }
        // Taken meanwhile: the next name.
        platform::CheckedFile again;
        if (platform::openChecked(path, platform::Access::Read, again).failure() ==
            Failure::Missing)
            return created;
    }
    path.clear(); // every name taken
    return {Failure::Other, 0};
}

// The lines the batch wrote on its error stream: the first few kept, and
// the last, which says why a run that stopped did.
std::string readSaid(const platform::File& said, FileBatchReport& report) {
    std::string text, last;
    std::vector<char> block(kSaidRead);
    std::uint64_t at = 0;
    for (std::size_t got = 0;
         platform::readAt(said, at, block.data(), block.size(), got).ok() && got > 0; at += got) {
        text.append(block.data(), got);
        for (std::size_t end; (end = text.find('\n')) != std::string::npos;
             text.erase(0, end + 1)) {
            last = text.substr(0, end);
            if (report.said.size() < kSaidKept)
                report.said.push_back(last);
            else
                report.saidMore = true;
        }
    }
    return last;
}

std::string failed(std::string_view what, const Error& error) {
    return std::string(what) + ": " + failureWords(error);
}

} // namespace

std::string resultName(std::string_view name, int n) {
    const std::size_t dot = name.rfind('.');
    const std::size_t stem = dot == std::string_view::npos || dot == 0 ? name.size() : dot;
    const std::string mark = n <= 1 ? " (масса)" : " (масса " + std::to_string(n) + ")";
    return std::string(name.substr(0, stem)) + mark + std::string(name.substr(stem));
}

FileBatchReport batchFile(const std::string& path) {
    FileBatchReport report;
    report.input = path;
    platform::File input;
    if (const Error error = platform::openToRead(path, input); !error.ok()) {
        report.failure = failed("не открывается", error);
        return report;
    }
    // What cannot be read (a folder) leaves no result behind.
    char first = 0;
    std::size_t got = 0;
    if (const Error error = platform::readAt(input, 0, &first, 1, got); !error.ok()) {
        report.failure = failed("не читается", error);
        return report;
    }
    Made made;
    std::string resultPath;
    if (const Error error = makeResult(platform::absolutePath(path), made, resultPath);
        !error.ok()) {
        // The rule trusts no folder that another user can change.
        report.failure = resultPath.empty() ? "результат не записывается: заняты все имена"
                         : error.failure() == Failure::Refused
                             ? "результат не записывается: папку может менять другой пользователь"
                             : failed("результат не записывается", error);
        return report;
    }
    platform::File said;
    if (const Error error = platform::scratchFile(said); !error.ok()) {
        platform::removeMade(made.folder, made.name, made.file);
        report.failure = failed("нет места для сообщений", error);
        return report;
    }
    const int status = runBatch(platform::Stream(input), path, platform::Stream(made.file),
                                platform::Stream(said), {}, &input, &report.summary);
    const std::string last = readSaid(said, report);
    // On the disk before it is shown, or gone.
    const Error synced = status == 2 ? Error() : platform::sync(made.file);
    if (status == 2 || !synced.ok()) {
        platform::removeMade(made.folder, made.name, made.file);
        report.failure = status == 2 && last.starts_with(kProgram)
                             ? last.substr(kProgram.size())
                             : failed("результат не записан", synced);
        return report;
    }
    if (const Error error = made.file.close(); !error.ok()) {
        report.failure = failed("результат не записан", error);
        return report;
    }
    report.result = resultPath;
    return report;
}

} // namespace sheetmass
