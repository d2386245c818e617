#pragma once
// One copy of the program at a time: two would remove each other's folders, write
// the same files and click each other's wizards. The copies share a named mutex;
// the first creates it and holds it until it ends, later ones find it.
#include "platform/win32/Win32Api.h"

#include "platform/win32/UniqueHandle.h"

namespace orvitex::win32 {

class OneCopy {
public:
    // name: a kernel object name; "Global\" reaches copies in other sessions too.
    explicit OneCopy(const wchar_t* name);
    [[nodiscard]] bool AnotherIsRunning() const { return anotherIsRunning_; }

private:
    UniqueHandle<KernelTraits> mutex_;
    bool anotherIsRunning_ = false;
};

}  // namespace orvitex::win32
