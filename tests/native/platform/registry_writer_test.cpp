#include "platform/RegistryWriter.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeRegistry.h"

namespace orvitex::mdl레지스트리 {
namespace {

using ::testing::ElementsAre;
using testing::FakeRegistry;

const std::u16string kConnectTo = u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
const std::u16string kPolicies = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
    std::vector<std::byte> bytes;
    for (const int v : values)
        bytes.push_back(static_cast<std::byte>(v));
    return bytes;
}

std::vector<std::byte> Utf16WithNul(std::u16string_view text) {
    std::vector<std::byte> bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::byte>(unit & 0xFF));
        bytes.push_back(static_cast<std::byte>(unit >> 8));
    }
    bytes.insert(bytes.end(), 2, std::byte{0});
    return bytes;
}

TEST(WriteRegistryString, StoresTextAsUtf16WithItsTerminatingNul) {
    struct Case {
        const char* name;
        RegistryValue value;
        std::vector<std::byte> expected;
    };
    const Case cases[] = {
        {"two letters, exact bytes", u"ab", Bytes({'a', 0, 'b', 0, 0, 0})},
        {"hangul", u"오르비", Bytes({0x24, 0xC6, 0x74, 0xB9, 0x44, 0xBE, 0, 0})},
        {"number as decimal text", 4181, Utf16WithNul(u"4181")},
        {"negative number", std::int64_t{-2147483649}, Utf16WithNul(u"-2147483649")},
        {"nothing becomes empty text", RegistryValue(), Bytes({0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        registry.AddKey(kConnectTo);
        WriteRegistryString(registry, kConnectTo, u"SVR", c.value, 1);
        const auto& values = registry.ValuesOf(kConnectTo);
        ASSERT_EQ(values.size(), 1u);
        EXPECT_EQ(values.at(u"SVR").type, 1u);
        EXPECT_EQ(values.at(u"SVR").data, c.expected);
    }
}

TEST(WriteRegistryString, StoresDwordAsFourLittleEndianBytes) {
    struct Case {
        const char* name;
        RegistryValue value;
        std::vector<std::byte> expected;
    };
    const Case cases[] = {
        {"byte order", 0x12345678, Bytes({0x78, 0x56, 0x34, 0x12})},
        {"lowest", std::numeric_limits<std::int32_t>::min(), Bytes({0, 0, 0, 0x80})},
        {"highest", std::numeric_limits<std::int32_t>::max(), Bytes({0xFF, 0xFF, 0xFF, 0x7F})},
        {"numeric text with blanks", u" 42 ", Bytes({42, 0, 0, 0})},
        {"signed text", u"-2", Bytes({0xFE, 0xFF, 0xFF, 0xFF})},
        {"nothing is zero", RegistryValue(), Bytes({0, 0, 0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        registry.AddKey(kPolicies);
        WriteRegistryString(registry, kPolicies, u"EnableLUA", c.value, 4);
        const auto& value = registry.ValuesOf(kPolicies).at(u"EnableLUA");
        EXPECT_EQ(value.type, 4u);
        EXPECT_EQ(value.data, c.expected);
    }
}

TEST(WriteRegistryString, OtherTypesOpenAndCloseTheKeyButWriteNothing) {
    for (const std::int32_t type : {0, 2, 3, 5, -1}) {
        SCOPED_TRACE(type);
        FakeRegistry registry;
        registry.AddKey(kConnectTo);
        WriteRegistryString(registry, kConnectTo, u"SVR", u"not a number", type);
        EXPECT_TRUE(registry.ValuesOf(kConnectTo).empty());
        EXPECT_THAT(registry.Log(),
                    ElementsAre("open " + ToUtf8(kConnectTo), "close " + ToUtf8(kConnectTo)));
    }
}

TEST(WriteRegistryString, MissingKeyIsNeitherCreatedNorReportedWhateverTheValue) {
    FakeRegistry registry;
    registry.AddKey(u"SOFTWARE\\Microsoft");
    EXPECT_NO_THROW(WriteRegistryString(registry, kConnectTo, u"SVR", u"alias", 1));
    // The value is converted only once the key is open, so a bad one goes unnoticed here.
    EXPECT_NO_THROW(WriteRegistryString(registry, kPolicies, u"EnableLUA", u"abc", 4));
    EXPECT_FALSE(registry.HasKey(kConnectTo));
    EXPECT_FALSE(registry.HasKey(kPolicies));
    EXPECT_TRUE(registry.ValuesOf(u"SOFTWARE\\Microsoft").empty());
    EXPECT_THAT(registry.Log(),
                ElementsAre("open " + ToUtf8(kConnectTo), "open " + ToUtf8(kPolicies)));
}

TEST(WriteRegistryString, DwordThatIsNotAWholeNumberThrowsAndStillClosesTheKey) {
    struct Case {
        const char* name;
        RegistryValue value;
        bool overflow;
    };
    const Case cases[] = {
        {"letters", u"abc", false},
        {"blanks only", u"  ", false},
        {"fraction", u"1.5", false},
        {"hex notation", u"0x10", false},
        {"text above range", u"2147483648", true},
        {"text below range", u"-2147483649", true},
        {"unsigned above range", std::uint32_t{0xFFFFFFFF}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        registry.AddKey(kPolicies);
        if (c.overflow) {
            EXPECT_THROW(WriteRegistryString(registry, kPolicies, u"EnableLUA", c.value, 4),
                         std::out_of_range);
        } else {
            EXPECT_THROW(WriteRegistryString(registry, kPolicies, u"EnableLUA", c.value, 4),
                         std::invalid_argument);
        }
        EXPECT_TRUE(registry.ValuesOf(kPolicies).empty());
        EXPECT_THAT(registry.Log(),
                    ElementsAre("open " + ToUtf8(kPolicies), "close " + ToUtf8(kPolicies)));
    }
}

TEST(WriteRegistryString, RefusedWriteIsSilentButSetRegistryValueReportsIt) {
    constexpr long kAccessDenied = 5;
    FakeRegistry registry;
    registry.AddKey(kConnectTo, kAccessDenied);
    EXPECT_NO_THROW(WriteRegistryString(registry, kConnectTo, u"SVR", u"alias", 1));
    EXPECT_TRUE(registry.ValuesOf(kConnectTo).empty());

    auto key = registry.OpenMachineKeyForSetValue(kConnectTo);
    ASSERT_TRUE(key);
    EXPECT_EQ(SetRegistryValue(*key, u"SVR", 1, u"alias"), kAccessDenied);
    EXPECT_EQ(SetRegistryValue(*key, u"SVR", 4, 1), kAccessDenied);
    EXPECT_EQ(SetRegistryValue(*key, u"SVR", 3, u"alias"), 0);
}

TEST(WriteRegistryString, EmptyNameAddressesTheDefaultValue) {
    FakeRegistry registry;
    registry.AddKey(kConnectTo);
    WriteRegistryString(registry, kConnectTo, u"", u"default", 1);
    EXPECT_EQ(registry.ValuesOf(kConnectTo).at(u"").data, Utf16WithNul(u"default"));
}

}  // namespace
// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl레지스트리
// clang-format on
