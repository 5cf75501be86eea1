#include "platform/Files.h"

#include "platform/posix/Posix.h"

#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {

Error createNew(const Folder& folder, const std::string& name) {
    File created(::openat(posix::fd(folder), name.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!created.ok())
        return posix::lastError();
    return created.close();
}

Error readAt(const File& file, std::uint64_t at, char* to, std::size_t room, std::size_t& got) {
    return posix::readOnce(
        [&] { return ::pread(posix::fd(file), to, room, static_cast<off_t>(at)); }, got);
}

Error writeAt(const File& file, std::string_view bytes, std::uint64_t at) {
    return posix::writeWhole(bytes, [&](std::string_view part, std::size_t done) {
        return ::pwrite(posix::fd(file), part.data(), part.size(), static_cast<off_t>(at + done));
    });
}

Error sync(const File& file) {
    return ::fsync(posix::fd(file)) == 0 ? Error() : posix::lastError();
}

Error lockWithin(const File& file, std::chrono::milliseconds wait) {
    constexpr std::chrono::milliseconds kPause{10};
    for (std::chrono::milliseconds waited{0};; waited += kPause) {
        if (::flock(posix::fd(file), LOCK_EX | LOCK_NB) == 0)
            return {};
        if (errno != EWOULDBLOCK && errno != EINTR)
            return posix::lastError();
        if (waited >= wait)
            return {Failure::Busy, EWOULDBLOCK};
        std::this_thread::sleep_for(kPause);
    }
}

Error setModified(const File& file, std::int64_t modified) {
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(modified / 1'000'000'000),
                                static_cast<long>(modified % 1'000'000'000)}};
    return ::futimens(posix::fd(file), times) == 0 ? Error() : posix::lastError();
}

} // namespace sheetmass::platform
