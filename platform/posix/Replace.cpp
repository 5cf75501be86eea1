#include "platform/Replace.h"

#include "platform/Files.h"
#include "platform/NewName.h"
#include "platform/posix/Posix.h"

#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheetmass::platform {
namespace {

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

Replacement::~Replacement() {
    if (m_file.ok())
        ::unlinkat(posix::fd(*m_folder), m_name.c_str(), 0);
}

Error Replacement::begin(const Folder& folder, std::string_view prefix, const File& like) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kRandomLetters];
        if (::getrandom(random, sizeof random, 0) != sizeof random)
            for (std::size_t i = 0; i < kRandomLetters; ++i)
                random[i] = static_cast<unsigned char>(std::rand());
        std::string name = newFileName(prefix, random);
        File file(::openat(posix::fd(folder), name.c_str(),
                           O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.ok()) {
            ::flock(posix::fd(file), LOCK_EX | LOCK_NB);
            // A copy run by root over a user's file leaves it the user's.
            if (struct stat st; like.ok() && ::fstat(posix::fd(like), &st) == 0) [[maybe_unused]]
                const int owned = ::fchown(posix::fd(file), st.st_uid, st.st_gid);
            m_folder = &folder;
            m_like = &like;
            m_name = std::move(name);
            m_file = std::move(file);
            return {};
        }
        if (errno != EEXIST)
            return posix::lastError();
    }
    return posix::errorOf(EEXIST);
}

Error Replacement::commit(const std::string& name) {
    const int out = posix::fd(m_file);
    const int folder = posix::fd(*m_folder);
    struct stat st;
    const mode_t mode =
        m_like->ok() && ::fstat(posix::fd(*m_like), &st) == 0 ? st.st_mode & 0777 : newFileMode();
    struct stat written, named;
    if (::fchmod(out, mode) != 0 || ::fsync(out) != 0 || ::fstat(out, &written) != 0 ||
        ::renameat(folder, m_name.c_str(), folder, name.c_str()) != 0)
        return posix::lastError(); // the destructor removes the new file
    // Whatever now has the new file's name is another's: it stays.
    File renamed = std::move(m_file);
    // The rename itself reaches the disk with the folder.
    ::fsync(folder);
    // In a folder others may write to, they may have swapped something in
    // for the new file before the rename.
    if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        named.st_dev != written.st_dev || named.st_ino != written.st_ino)
        return {Failure::Refused, EPERM};
    return renamed.close();
}

void removeLeftovers(const Folder& folder, std::string_view prefix) {
    const int at = posix::fd(folder);
    Handle listing(::openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* entries = listing.ok() ? ::fdopendir(posix::fd(listing)) : nullptr;
    if (!entries)
        return;
    listing.release();
    while (const dirent* entry = ::readdir(entries)) {
        if (!isNewFileName(entry->d_name, prefix))
            continue;
        struct stat named, st;
        if (::fstatat(at, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(named.st_mode) || named.st_uid != ::geteuid())
            continue;
        const File left(
            ::openat(at, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!left.ok() || ::fstat(posix::fd(left), &st) != 0 || st.st_dev != named.st_dev ||
            st.st_ino != named.st_ino || ::flock(posix::fd(left), LOCK_EX | LOCK_NB) != 0)
            continue;
        ::unlinkat(at, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace sheetmass::platform
