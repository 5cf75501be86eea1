#include "platform/Handle.h"

#include "platform/windows/Win32.h"

namespace sheetmass::platform {

Handle::~Handle() {
    if (ok()) {
        // A failure being reported on the way out keeps its code.
        const DWORD saved = ::GetLastError();
        ::CloseHandle(win32::handle(*this));
        ::SetLastError(saved);
    }
}

Error Handle::close() {
    const HANDLE closing = reinterpret_cast<HANDLE>(release());
    return ::CloseHandle(closing) ? Error() : win32::lastError();
}

} // namespace sheetmass::platform
