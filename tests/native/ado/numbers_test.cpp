#include <gtest/gtest.h>

#include "db/ado/Numbers.h"
#include "platform/Text.h"

namespace {

using namespace orvitex::ado;
using orvitex::ToUtf8;

TEST(Numbers, DecimalTextIsCanonicalOrRefused) {
    const struct {
        const char16_t* text;
        const char16_t* canonical;  // null: refused
    } cases[] = {
        {u"+0012.500", u"12.5"}, {u"-0.0", u"0"},   {u".5", u"0.5"},     {u"-7.", u"-7"},
        {u" 42 ", u"42"},        {u"1e5", nullptr}, {u"1.2.3", nullptr}, {u"", nullptr},
        {u"-", nullptr},         {u"NaN", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        const auto canonical = detail::CanonicalDecimal(c.text);
        if (c.canonical) {
            ASSERT_TRUE(canonical.has_value());
            EXPECT_EQ(*canonical, c.canonical);
        } else {
            EXPECT_FALSE(canonical.has_value());
        }
    }
}

TEST(Numbers, DoublesBecomePlainDecimalText) {
    const struct {
        double value;
        const char16_t* text;
    } cases[] = {
        {1234.5, u"1234.5"},     {0.1, u"0.1"}, {1e20, u"100000000000000000000"},
        {1.5e-7, u"0.00000015"}, {-2.0, u"-2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ToUtf8(detail::DoubleToDecimalText(c.value)), ToUtf8(c.text));
    }
}

TEST(Numbers, DateTextIsCheckedForRealDates) {
    EXPECT_TRUE(detail::ParseDateTime(u"2000-02-29").has_value());
    for (const char16_t* bad : {u"1900-02-29", u"2018-13-01", u"2018-01-23 24:00",
                                u"2018-01-23 10:60", u"2018-1-23", u"2018-01-23 10:00:00.", u"x"}) {
        SCOPED_TRACE(ToUtf8(bad));
        EXPECT_FALSE(detail::ParseDateTime(bad).has_value());
    }
}

}  // namespace
