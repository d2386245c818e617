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

// The encodings themselves are proved against the real registry under Wine.
const std::u16string kConnectTo = u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
const std::u16string kPolicies = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

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

}  // namespace
// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl레지스트리
// clang-format on
