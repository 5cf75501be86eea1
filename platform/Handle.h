#pragma once

#include "platform/Error.h"

#include <cstdint>

namespace sheetmass::platform {

// The system's own value for an open file: a descriptor on POSIX, a HANDLE
// on Windows; only the seam reads it.
using Native = std::intptr_t;
inline constexpr Native kNoNative = -1;

// An open file or folder, closed on every way out.
class Handle {
  public:
    Handle() = default;
    explicit Handle(Native native) : m_native(native) {}
    Handle(Handle&& other) noexcept : m_native(other.release()) {}
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle();

    bool ok() const { return m_native != kNoNative; }
    Native native() const { return m_native; }
    Native release() {
        const Native native = m_native;
        m_native = kNoNative;
        return native;
    }
    // Closing can report a write-back that failed; keep that.
    Error close();

  private:
    Native m_native = kNoNative;
};

// Kept apart so that a file is never handed where a folder is meant.
struct File : Handle {
    using Handle::Handle;
};
struct Folder : Handle {
    using Handle::Handle;
};

// A stream read or written in order, not owned: a standard stream, or a
// file opened for reading.
class Stream {
  public:
    explicit Stream(Native native) : m_native(native) {}
    explicit Stream(const File& file) : m_native(file.native()) {}
    Native native() const { return m_native; }

  private:
    Native m_native;
};

} // namespace sheetmass::platform
