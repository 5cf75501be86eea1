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

// What the bytes of a text spell.
enum class TextEncoding { Utf8, Cp1251 };

// What is there, up to `room` bytes, resuming after interruptions; `got`
// is 0 at the end.
[[nodiscard]] Error readSome(Stream in, char* to, std::size_t room, std::size_t& got);

// All of the text, resuming after interruptions and short writes: its bytes
// unchanged, no line ending translated, but where `out` is a console (Windows), which would show
// the bytes as letters of its own code page, the letters they spell in `encoding`, written as
// UTF-16.
[[nodiscard]] Error writeAll(Stream out, std::string_view text,
                             TextEncoding encoding = TextEncoding::Utf8);

// A file named on the command line, opened for reading as it is: links
// followed, whoever owns it.
[[nodiscard]] Error openToRead(const std::string& path, File& out);

} // namespace sheetmass::platform
