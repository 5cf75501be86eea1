#include "platform/Handle.h"

#include "platform/posix/Posix.h"

#include <unistd.h>

namespace sheetmass::platform {

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
