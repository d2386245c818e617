#include "platform/RegistryWriter.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "FakeRegistry.h"

namespace orvitex::mdl레지스트리 {
namespace {

// The encodings and a refused write are proved against the real registry under
// Wine and by the installation run; here the values Wine never receives.
TEST(WriteRegistryString, DwordThatIsNotAWholeNumberThrowsAndStillClosesTheKey) {
    const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    const RegistryValue values[] = {u"abc",        u"1.5",         u"0x10",
                                    u"2147483648", u"-2147483649", std::uint32_t{0xFFFFFFFF}};
    for (const auto& value : values) {
        SCOPED_TRACE(&value - values);
        testing::FakeRegistry registry;
        registry.AddKey(key);
        EXPECT_THROW(WriteRegistryString(registry, key, u"EnableLUA", value, 4), std::logic_error);
        EXPECT_TRUE(registry.ValuesOf(key).empty());
        EXPECT_EQ(registry.Log(),
                  (std::vector<std::string>{"open " + ToUtf8(key), "close " + ToUtf8(key)}));
    }
}

}  // namespace
// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl레지스트리
// clang-format on
