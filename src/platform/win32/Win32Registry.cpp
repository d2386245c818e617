#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32Api.h"

#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

// A 32-bit process on 64-bit Windows sees two views; on 32-bit Windows both view
// flags are ignored and name the one view.
bool HasTwoViews() {
    if constexpr (sizeof(void*) == 8) {
        return true;
    } else {
        BOOL wow64 = FALSE;
        return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
    }
}

platform::KeyAccess AccessOf(LSTATUS status) {
    if (status == ERROR_SUCCESS)
        return platform::KeyAccess::Writable;
    return status == ERROR_FILE_NOT_FOUND ? platform::KeyAccess::Missing
                                          : platform::KeyAccess::Refused;
}

// The key opened for setting values in one view; an empty key where it did not open.
UniqueHkey OpenView(const std::u16string& path, REGSAM view, platform::KeyAccess& access) {
    UniqueHkey key;
    access = AccessOf(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path), 0, KEY_SET_VALUE | view, key.Receive()));
    return key;
}

class Win32RegistryKey : public platform::RegistryKey {
public:
    Win32RegistryKey(std::vector<UniqueHkey> views, platform::KeyViews access)
        : views_(std::move(views)), access_(access) {}

    // Every view is written; the first failure is the status.
    long SetValue(std::u16string_view name, std::uint32_t type,
                  std::span<const std::byte> data) override {
        const std::u16string valueName(name);
        long status = ERROR_SUCCESS;
        for (const UniqueHkey& view : views_) {
            const LSTATUS result = RegSetValueExW(view.Get(), Wide(valueName), 0, type,
                                                  reinterpret_cast<const BYTE*>(data.data()),
                                                  static_cast<DWORD>(data.size()));
            if (status == ERROR_SUCCESS)
                status = result;
        }
        return status;
    }

    platform::KeyViews Views() const override { return access_; }

private:
    std::vector<UniqueHkey> views_;
    platform::KeyViews access_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> Win32Registry::OpenMachineKeyForSetValue(
    std::u16string_view path) {
    const std::u16string keyPath(path);
    platform::KeyViews access;
    std::vector<UniqueHkey> views;
    UniqueHkey key64 = OpenView(keyPath, KEY_WOW64_64KEY, access.view64);
    if (key64)
        views.push_back(std::move(key64));
    if (HasTwoViews()) {
        UniqueHkey key32 = OpenView(keyPath, KEY_WOW64_32KEY, access.view32);
        if (key32)
            views.push_back(std::move(key32));
    } else {
        access.oneView = true;
    }
    if (views.empty())
        return nullptr;
    return std::make_unique<Win32RegistryKey>(std::move(views), access);
}

platform::KeyViews Win32Registry::ProbeMachineKey(std::u16string_view path) {
    const std::u16string keyPath(path);
    platform::KeyViews access;
    (void)OpenView(keyPath, KEY_WOW64_64KEY, access.view64);
    if (HasTwoViews()) {
        (void)OpenView(keyPath, KEY_WOW64_32KEY, access.view32);
    } else {
        access.oneView = true;
    }
    return access;
}

}  // namespace orvitex::win32
