#include "platform/posix/Posix.h"

#include <cstring>

namespace sheetmass::platform {

std::string Error::text() const {
    return std::strerror(m_system);
}

namespace posix {

Error errorOf(int number) {
    switch (number) {
    case 0:
        return {};
    case ENOENT:
        return {Failure::Missing, number};
    case EACCES:
    case EPERM:
    case EROFS:
        return {Failure::Denied, number};
    case EWOULDBLOCK:
        return {Failure::Busy, number};
    case ENOSPC:
    case EDQUOT:
        return {Failure::Full, number};
    default:
        return {Failure::Other, number};
    }
}

} // namespace posix
} // namespace sheetmass::platform
