#pragma once

#include "platform/Error.h"
#include "platform/Handle.h"

#include <string>
#include <string_view>

namespace sheetmass::platform {

// A new file that takes the place of another in one step, so that a save
// cut short anywhere leaves the old file whole. The new file lies beside
// the old one, named a prefix and six random letters or digits; should the
// process be killed meanwhile, the next save of the folder removes it.
class Replacement {
  public:
    Replacement() = default;
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;
    // Not committed: the new file goes.
    ~Replacement();

    // Makes the new file in `folder`, never through a link, and locks it at
    // once, so that no other save takes it for a leftover. POSIX: it takes
    // the owner (where the system lets it) and at the commit the permissions
    // of `like`, which stays open until then, or when `like` is not open
    // those of any new file; never a set-id or sticky bit; until the commit
    // only this user may open it. Windows: it is made with the user's alone
    // security and keeps it, never the old file's, and is shared with no
    // one until it has the old one's place.
    // Failure::Denied: the folder takes no new file.
    [[nodiscard]] Error begin(const Folder& folder, std::string_view prefix, const File& like);

    const File& file() const { return m_file; }

    // Puts the new file on the disk and renames it, by its handle, over
    // `name` in the folder; POSIX then puts the folder on the disk, so that
    // the rename is there too, where Windows leaves that to the file
    // system's log. Windows takes the place of a file held open in one step
    // from 10 1809 on, on NTFS; elsewhere (and under Wine) the old file
    // steps aside under a new file's name an instant before, as ReplaceFileW
    // has it do, so that a process killed just then leaves it under that
    // name. Failure::Refused when `name` then leads to anything but the new
    // file: another user swapped something in for it.
    [[nodiscard]] Error commit(const std::string& name);

  private:
    const Folder* m_folder = nullptr;
    std::string m_name;
    const File* m_like = nullptr;
    File m_file;
};

// Removes the new files of earlier replacements in `folder` named with
// `prefix` that were killed: this user's regular files that no running
// replacement holds locked.
void removeLeftovers(const Folder& folder, std::string_view prefix);

} // namespace sheetmass::platform
