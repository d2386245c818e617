#pragma once
// mdl레지스트리: the program's one way to write a value below HKEY_LOCAL_MACHINE.
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/Registry.h"

namespace orvitex::mdl레지스트리 {

template <typename T>
concept WholeNumber =
    std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
    !std::same_as<T, wchar_t> && !std::same_as<T, char8_t> && !std::same_as<T, char16_t> &&
    !std::same_as<T, char32_t> && (std::is_signed_v<T> || sizeof(T) < sizeof(std::int64_t));

// The value argument of a write: text, a whole number, or nothing.
class RegistryValue {
public:
    RegistryValue() = default;
    RegistryValue(std::u16string text) : value_(std::move(text)) {}
    RegistryValue(std::u16string_view text) : value_(std::u16string(text)) {}
    RegistryValue(const char16_t* text) : value_(std::u16string(text)) {}
    template <WholeNumber T>
    RegistryValue(T number) : value_(static_cast<std::int64_t>(number)) {}

    [[nodiscard]] bool IsNothing() const { return std::holds_alternative<std::monostate>(value_); }
    // Text as it is, a number in decimal, nothing as empty text.
    [[nodiscard]] std::u16string ToText() const;
    // Nothing is 0. Text must be a whole number, optionally signed and surrounded by
    // blanks; anything else throws std::invalid_argument ("Type mismatch"). A number
    // outside the 32-bit signed range throws std::out_of_range ("Overflow").
    [[nodiscard]] std::int32_t ToInt32() const;

private:
    std::variant<std::monostate, std::int64_t, std::u16string> value_;
};

// Opens keyPath below HKEY_LOCAL_MACHINE for setting values and writes one value of
// type 1 (REG_SZ) or 4 (REG_DWORD); other types write nothing. A key that cannot be
// opened and a write that fails pass silently; only a type-4 value that is not a
// 32-bit whole number throws, and only once the key is open.
void WriteRegistryString(platform::Registry& registry, std::u16string_view keyPath,
                         std::u16string_view valueName, const RegistryValue& value,
                         std::int32_t valueType);

// The platform status of the write, or 0 when the type is neither 1 nor 4.
[[nodiscard]] long SetRegistryValue(platform::RegistryKey& key, std::u16string_view valueName,
                                    std::int32_t valueType, const RegistryValue& value);

// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl레지스트리
// clang-format on
