#pragma once
#include <memory>
#include <string_view>

#include "platform/Registry.h"

namespace orvitex::win32 {

// HKEY_LOCAL_MACHINE through the W functions. Installed SQL clients may be 32- or
// 64-bit and each reads its own registry view, so a key is opened in both views
// (each only where it already exists) and every value is written to each.
class Win32Registry : public platform::Registry {
public:
    [[nodiscard]] std::unique_ptr<platform::RegistryKey> OpenMachineKeyForSetValue(
        std::u16string_view path) override;
    [[nodiscard]] platform::KeyViews ProbeMachineKey(std::u16string_view path) override;
};

}  // namespace orvitex::win32
