#pragma once
// The machine registry, as much of it as the program uses: open an existing key
// below HKEY_LOCAL_MACHINE for setting values, set a value, close the key; and,
// for the preflight check, learn what such an open would find without writing.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace orvitex::platform {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

enum class KeyAccess { Missing, Refused, Writable };

// A key as each registry view shows it: on 64-bit Windows 64-bit programs read one,
// 32-bit ones the other; 32-bit Windows has one view alone, given as view64.
struct KeyViews {
    KeyAccess view64 = KeyAccess::Missing;
    KeyAccess view32 = KeyAccess::Missing;
    bool oneView = false;
};

// An open key; closing happens in the destructor and is never reported.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // Returns the platform status of the write (0 on success): every view the key
    // is open in is written, and the first failure is the status. An empty name
    // addresses the key's unnamed (default) value.
    [[nodiscard]] virtual long SetValue(std::u16string_view name, std::uint32_t type,
                                        std::span<const std::byte> data) = 0;
    // The views the key was opened in, as the open found them.
    [[nodiscard]] virtual KeyViews Views() const {
        return {KeyAccess::Writable, KeyAccess::Writable};
    }
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key below HKEY_LOCAL_MACHINE in every view it exists in,
    // with the right to set values only. Never creates a key: a key missing or
    // refused in every view gives nullptr.
    [[nodiscard]] virtual std::unique_ptr<RegistryKey> OpenMachineKeyForSetValue(
        std::u16string_view path) = 0;
    // Opens the key in both views for setting values, with this process's rights,
    // and closes it again: nothing is created or written. Unless implemented, the
    // key is missing.
    [[nodiscard]] virtual KeyViews ProbeMachineKey(std::u16string_view /*path*/) { return {}; }
};

}  // namespace orvitex::platform
