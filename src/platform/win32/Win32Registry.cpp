#include "platform/win32/Win32Registry.h"

#include "platform/win32/Win32Api.h"

#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

class Win32RegistryKey : public platform::RegistryKey {
public:
    explicit Win32RegistryKey(std::vector<UniqueHkey> views) : views_(std::move(views)) {}

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

private:
    std::vector<UniqueHkey> views_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> Win32Registry::OpenMachineKeyForSetValue(
    std::u16string_view path) {
    const std::u16string keyPath(path);
    std::vector<UniqueHkey> views;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        UniqueHkey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(keyPath), 0, KEY_SET_VALUE | view,
                          key.Receive()) == ERROR_SUCCESS) {
            views.push_back(std::move(key));
        }
    }
    if (views.empty())
        return nullptr;
    return std::make_unique<Win32RegistryKey>(std::move(views));
}

platform::KeyViews Win32Registry::ProbeMachineKey(std::u16string_view path) {
    const std::u16string keyPath(path);
    const auto probe = [&keyPath](REGSAM view) {
        UniqueHkey key;
        const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(keyPath), 0,
                                             KEY_SET_VALUE | view, key.Receive());
        if (status == ERROR_SUCCESS)
            return platform::KeyAccess::Writable;
        return status == ERROR_FILE_NOT_FOUND ? platform::KeyAccess::Missing
                                              : platform::KeyAccess::Refused;
    };
    return {probe(KEY_WOW64_64KEY), probe(KEY_WOW64_32KEY)};
}

}  // namespace orvitex::win32
