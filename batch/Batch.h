#pragma once

#include "platform/Handle.h"

#include <string_view>

namespace sheetmass {

// The batch: reads lines of nine fields from `in` and writes each to `out`
// as read, with its mass appended as one more field, then a line «Итого»
// with the exact sum of the masses. Lines without a mass get an empty field
// and a line on `err` that says why. UTF-8 in and out; a line that is not
// valid UTF-8 is read as Windows-1251. `name` names the input in messages.
// Returns the exit status: 0 when every line has a mass, 1 when one has
// none, 2 when the input cannot be read or the output written.
int runBatch(platform::Stream in, std::string_view name, platform::Stream out,
             platform::Stream err);

} // namespace sheetmass
