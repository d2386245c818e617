#include "platform/win32/OneCopy.h"

namespace orvitex::win32 {

OneCopy::OneCopy(const wchar_t* name) : mutex_(CreateMutexW(nullptr, FALSE, name)) {
    const DWORD error = GetLastError();
    // Access denied: the mutex exists, made by a copy of another user or session.
    anotherIsRunning_ = mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

}  // namespace orvitex::win32
