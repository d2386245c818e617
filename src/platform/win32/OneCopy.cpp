#include "platform/win32/OneCopy.h"

namespace orvitex::win32 {

OneCopy::OneCopy(const wchar_t* name) : mutex_(CreateMutexW(nullptr, FALSE, name)) {
    if (mutex_) {
        anotherIsRunning_ = GetLastError() == ERROR_ALREADY_EXISTS;
        return;
    }
    // Not created: either a copy of another user holds it, or this process may not
    // create a global object; only the first is another copy.
    const UniqueHandle<KernelTraits> other(OpenMutexW(SYNCHRONIZE, FALSE, name));
    anotherIsRunning_ = other || GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace orvitex::win32
