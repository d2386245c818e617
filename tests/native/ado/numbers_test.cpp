#include <gtest/gtest.h>

#include "db/ado/Numbers.h"
#include "platform/Text.h"

namespace {

using namespace orvitex::ado;
using orvitex::ToUtf8;

TEST(Numbers, DecimalTextIsCanonicalOrRefusedAndDoublesHaveNoExponent) {
    const struct {
        const char16_t* text;
        const char16_t* canonical;  // null: refused
    } cases[] = {
        {u"+0012.500", u"12.5"}, {u"-0.0", u"0"},   {u".5", u"0.5"},     {u"-7.", u"-7"},
        {u" 42 ", u"42"},        {u"1e5", nullptr}, {u"1.2.3", nullptr}, {u"-", nullptr},
        {u"", nullptr},          {u"NaN", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        const auto canonical = detail::CanonicalDecimal(c.text);
        EXPECT_EQ(canonical.has_value(), c.canonical != nullptr);
        if (c.canonical && canonical) {
            EXPECT_EQ(*canonical, c.canonical);
        }
    }
    EXPECT_EQ(ToUtf8(detail::DoubleToDecimalText(1e20)), "100000000000000000000");
    EXPECT_EQ(ToUtf8(detail::DoubleToDecimalText(1.5e-7)), "0.00000015");
}

TEST(Numbers, DateTextIsCheckedForRealDates) {
    EXPECT_TRUE(detail::ParseDateTime(u"2000-02-29").has_value());
    for (const char16_t* bad : {u"1900-02-29", u"2018-13-01", u"2018-01-23 24:00",
                                u"2018-01-23 10:60", u"2018-1-23", u"2018-01-23 10:00:00."}) {
        SCOPED_TRACE(ToUtf8(bad));
        EXPECT_FALSE(detail::ParseDateTime(bad).has_value());
    }
}

}  // namespace
