#include "platform/Handle.h"

#include "platform/posix/Posix.h"

#include <unistd.h>

namespace sheetmass::platform {

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        Handle old(m_native);
        m_native = other.release();
    }
    return *this;
}

Handle::~Handle() {
    if (ok()) {
        // A failure being reported on the way out keeps its errno.
        const int saved = errno;
        ::close(posix::fd(*this));
        errno = saved;
    }
}

Error Handle::close() {
    const int closing = static_cast<int>(release());
    return ::close(closing) == 0 ? Error() : posix::lastError();
}

} // namespace sheetmass::platform
