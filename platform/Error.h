#pragma once

#include <string>

namespace sheetmass::platform {

// Why a request to the system failed, in the seam's own words: what callers
// decide by. Every system's numbers map onto these.
enum class Failure : unsigned char {
    None,
    Missing, // nothing has that name
    Refused, // the rule for other users' names refuses it, or it is no regular file
    Denied,  // no permission, or a read-only file system
    Busy,    // held by another process for now: a lock past its wait, or on Windows
             // a file another holds open shared with no one, or locked
    Full,    // no room left on the disk, or in the user's share of it
    Other,
};

// A failure with the system's own number for it, which only its text reads.
class Error {
  public:
    Error() = default;
    Error(Failure failure, int system) : m_failure(failure), m_system(system) {}

    bool ok() const { return m_failure == Failure::None; }
    Failure failure() const { return m_failure; }
    // The system's words for it, in the user's language where it has them.
    std::string text() const;

  private:
    Failure m_failure = Failure::None;
    int m_system = 0;
};

} // namespace sheetmass::platform
