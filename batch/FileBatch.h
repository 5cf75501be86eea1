#pragma once

#include "batch/Batch.h"

#include <string>
#include <string_view>
#include <vector>

namespace sheetmass {

// What working out a file given to the window came to.
struct FileBatchReport {
    std::string input;   // the file's path as given
    std::string failure; // why no result was written, in words; empty when it was
    std::string result;  // the result's path, when written
    BatchSummary summary;
    // The first lines the batch said on its error stream, as it said them,
    // and whether it said more.
    std::vector<std::string> said;
    bool saidMore = false;
};

// How many of the batch's lines a report keeps.
inline constexpr std::size_t kSaidKept = 5;

// The `n`-th name for the result of the file `name`, the first free one
// taken: "заказ.csv" gives "заказ (масса).csv", then "заказ (масса 2).csv".
std::string resultName(std::string_view name, int n);

// Works out the file at `path` as `sheetmass --batch FILE` does, with the
// options the command line has when it states none, and writes the result
// beside it under the first resultName that nothing has; never over
// anything, never a half-written result.
FileBatchReport batchFile(const std::string& path);

} // namespace sheetmass
