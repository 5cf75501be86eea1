#pragma once

#include "platform/Error.h"
#include "platform/Handle.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace sheetmass::platform {

Stream standardInput();
Stream standardOutput();
Stream standardError();

// Bytes pass the standard streams unchanged: no line ending is translated.
void binaryStandardStreams();

// What is there, up to `room` bytes, resuming after interruptions; `got`
// is 0 at the end.
[[nodiscard]] Error readSome(Stream in, char* to, std::size_t room, std::size_t& got);

// All of the text, resuming after interruptions and short writes.
[[nodiscard]] Error writeAll(Stream out, std::string_view text);

// A file named on the command line, opened for reading as it is: links
// followed, whoever owns it.
[[nodiscard]] Error openToRead(const std::string& path, File& out);

} // namespace sheetmass::platform
