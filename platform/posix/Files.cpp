#include "platform/Files.h"

#include "platform/posix/Posix.h"

#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {

Error createNew(const Folder& folder, const std::string& name, File& made) {
    made = File(::openat(posix::fd(folder), name.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    return made.ok() ? Error() : posix::lastError();
}

Error createNew(const Folder& folder, const std::string& name) {
    File created;
    if (const Error error = createNew(folder, name, created); !error.ok())
        return error;
    return created.close();
}

void removeMade(const Folder& folder, const std::string& name, const File& made) {
    struct stat held, named;
    if (::fstat(posix::fd(made), &held) == 0 &&
        ::fstatat(posix::fd(folder), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        ::unlinkat(posix::fd(folder), name.c_str(), 0);
}

Error scratchFile(File& out) {
    out = File(::memfd_create("sheetmass", MFD_CLOEXEC));
    return out.ok() ? Error() : posix::lastError();
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

Error nextData(const File& file, std::uint64_t from, std::uint64_t& start, std::uint64_t& end) {
    struct stat st;
    if (::fstat(posix::fd(file), &st) != 0)
        return posix::lastError();
    const auto size = static_cast<std::uint64_t>(st.st_size);
    start = end = size;
    if (from >= size)
        return {};
    const off_t data = ::lseek(posix::fd(file), static_cast<off_t>(from), SEEK_DATA);
    if (data < 0 && errno == ENXIO) // nothing but a hole to the end
        return {};
    if (data < 0) { // a file system that tells no holes
        start = from;
        return {};
    }
    const off_t hole = ::lseek(posix::fd(file), data, SEEK_HOLE);
    if (hole < 0)
        return posix::lastError();
    start = static_cast<std::uint64_t>(data);
    end = static_cast<std::uint64_t>(hole);
    return {};
}

Error extendTo(const File& file, std::uint64_t size) {
    struct stat st;
    if (::fstat(posix::fd(file), &st) != 0)
        return posix::lastError();
    if (static_cast<std::uint64_t>(st.st_size) >= size)
        return {};
    return ::ftruncate(posix::fd(file), static_cast<off_t>(size)) == 0 ? Error()
                                                                       : posix::lastError();
}

Error lockPrivately(const std::string& folder, const std::string& name,
                    std::chrono::milliseconds wait, File& held) {
    // Another user could make the name, or open the file, in a folder they
    // may change, or a file they may read.
    Folder at;
    struct stat st;
    if (const Error error = posix::openTrustedFolder(AT_FDCWD, folder, false, at); !error.ok())
        return error;
    if (::fstat(posix::fd(at), &st) != 0)
        return posix::lastError();
    if (st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {Failure::Refused, EPERM};
    File file(::openat(posix::fd(at), name.c_str(),
                       O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    if (!file.ok())
        return posix::lastError();
    if (::fstat(posix::fd(file), &st) != 0)
        return posix::lastError();
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return {Failure::Refused, EPERM};
    constexpr std::chrono::milliseconds kPause{10};
    for (std::chrono::milliseconds waited{0};; waited += kPause) {
        if (::flock(posix::fd(file), LOCK_EX | LOCK_NB) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return posix::lastError();
        if (waited >= wait)
            return {Failure::Busy, EWOULDBLOCK};
        std::this_thread::sleep_for(kPause);
    }
    held = std::move(file);
    return {};
}

Error setModified(const File& file, std::int64_t modified) {
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(modified / 1'000'000'000),
                                static_cast<long>(modified % 1'000'000'000)}};
    return ::futimens(posix::fd(file), times) == 0 ? Error() : posix::lastError();
}

} // namespace sheetmass::platform
