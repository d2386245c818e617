#include "platform/RegistryWriter.h"

#include <cstddef>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/Text.h"

namespace orvitex::mdl레지스트리 {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::int64_t ParseWholeNumber(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty())
        throw std::invalid_argument("Type mismatch");
    // Anything beyond this already overflows 32 bits, so it stops the digits early.
    constexpr std::int64_t kBeyond = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9')
            throw std::invalid_argument("Type mismatch");
        if (magnitude < kBeyond)
            magnitude = magnitude * 10 + (c - u'0');
    }
    return negative ? -magnitude : magnitude;
}

std::vector<std::byte> TextData(std::u16string_view text) {
    std::vector<std::byte> data;
    data.reserve((text.size() + 1) * 2);
    auto append = [&data](char16_t unit) {
        data.push_back(static_cast<std::byte>(unit & 0xFF));
        data.push_back(static_cast<std::byte>(unit >> 8));
    };
    for (const char16_t unit : text)
        append(unit);
    append(u'\0');
    return data;
}

std::vector<std::byte> DwordData(std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    return {static_cast<std::byte>(bits & 0xFF), static_cast<std::byte>((bits >> 8) & 0xFF),
            static_cast<std::byte>((bits >> 16) & 0xFF), static_cast<std::byte>(bits >> 24)};
}

}  // namespace

std::u16string RegistryValue::ToText() const {
    if (const auto* text = std::get_if<std::u16string>(&value_))
        return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value_))
        return orvitex::ToText(*number);
    return {};
}

std::int32_t RegistryValue::ToInt32() const {
    std::int64_t number = 0;
    if (const auto* text = std::get_if<std::u16string>(&value_)) {
        number = ParseWholeNumber(*text);
    } else if (const auto* whole = std::get_if<std::int64_t>(&value_)) {
        number = *whole;
    }
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        throw std::out_of_range("Overflow");
    }
    return static_cast<std::int32_t>(number);
}

long SetRegistryValue(platform::RegistryKey& key, std::u16string_view valueName,
                      std::int32_t valueType, const RegistryValue& value) {
    switch (valueType) {
        case platform::kRegSz:
            return key.SetValue(valueName, platform::kRegSz, TextData(value.ToText()));
        case platform::kRegDword:
            return key.SetValue(valueName, platform::kRegDword, DwordData(value.ToInt32()));
        default:
            return 0;
    }
}

void WriteRegistryString(platform::Registry& registry, std::u16string_view keyPath,
                         std::u16string_view valueName, const RegistryValue& value,
                         std::int32_t valueType) {
    const auto key = registry.OpenMachineKeyForSetValue(keyPath);
    if (!key)
        return;
    (void)SetRegistryValue(*key, valueName, valueType, value);
}

// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl레지스트리
// clang-format on
