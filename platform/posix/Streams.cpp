#include "platform/Streams.h"

#include "platform/posix/Posix.h"

#include <fcntl.h>
#include <unistd.h>

namespace sheetmass::platform {

Stream standardInput() {
    return Stream(STDIN_FILENO);
}
Stream standardOutput() {
    return Stream(STDOUT_FILENO);
}
Stream standardError() {
    return Stream(STDERR_FILENO);
}

Error readSome(Stream in, char* to, std::size_t room, std::size_t& got) {
    return posix::readOnce([&] { return ::read(posix::fd(in), to, room); }, got);
}

// A terminal reads the bytes in its own encoding, which is the user's.
Error writeAll(Stream out, std::string_view text, TextEncoding) {
    return posix::writeWhole(text, [&](std::string_view part, std::size_t) {
        return ::write(posix::fd(out), part.data(), part.size());
    });
}

Error openToRead(const std::string& path, File& out) {
    out = File(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    return out.ok() ? Error() : posix::lastError();
}

} // namespace sheetmass::platform
