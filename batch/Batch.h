#pragma once

#include "platform/Error.h"
#include "platform/Handle.h"

#include <string>
#include <string_view>

namespace sheetmass {

// What the command line states about a batch file instead of the file.
struct BatchOptions {
    char decimal = 0; // ',' or '.'; 0: as the file writes its numbers
    char group = 0;   // '.', ',' or ' ' between groups of digits; 0: as the file writes them
    enum class Encoding { asInput, utf8, cp1251 } encoding = Encoding::asInput;
};

// What a run came to, for whoever reports it other than by the output's
// own total line.
struct BatchSummary {
    long long lines = 0;       // lines worked out, with a mass or without
    long long withoutMass = 0; // of them
    std::string total;         // the exact total, written as the output writes it
};

// Why the system refused, in the program's words: the seam's kind of
// failure, and the system's own text only where the kind tells nothing.
std::string failureWords(const platform::Error& error);

// The batch: reads lines of nine fields from `in` and writes each to `out`
// as read, with its mass as one more field after the ninth (before the
// user's notes, if the line has more), then a line «Итого» with the exact
// sum of the masses. Lines without a mass get an empty field
// and a line on `err` that says why. A line that is not valid UTF-8 is read
// as Windows-1251; the output keeps the input's encoding and decimal mark.
// `file`, when the input is a file that can be read from its start again,
// is read through once first to learn how it writes its numbers. `name`
// names the input in messages. Returns the exit status: 0 when every line
// has a mass, 1 when one has none, 2 when the input cannot be read or the
// output written. `summary`, when given, gets what the run came to.
int runBatch(platform::Stream in, std::string_view name, platform::Stream out, platform::Stream err,
             const BatchOptions& options = {}, const platform::File* file = nullptr,
             BatchSummary* summary = nullptr);

} // namespace sheetmass
