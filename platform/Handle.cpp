#include "platform/Handle.h"

namespace sheetmass::platform {

// The old handle closes the system's way, in its destructor.
Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        Handle old(m_native);
        m_native = other.release();
    }
    return *this;
}

} // namespace sheetmass::platform
