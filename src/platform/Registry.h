#pragma once
// The machine registry, as much of it as the program uses: open an existing key
// below HKEY_LOCAL_MACHINE for setting values, set a value, close the key.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace orvitex::platform {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// An open key; closing happens in the destructor and is never reported.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // Returns the platform status of the write (0 on success). An empty name
    // addresses the key's unnamed (default) value.
    [[nodiscard]] virtual long SetValue(std::u16string_view name, std::uint32_t type,
                                        std::span<const std::byte> data) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key below HKEY_LOCAL_MACHINE with the right to set values
    // only. Never creates a key: a missing or refused key gives nullptr.
    [[nodiscard]] virtual std::unique_ptr<RegistryKey> OpenMachineKeyForSetValue(
        std::u16string_view path) = 0;
};

}  // namespace orvitex::platform
