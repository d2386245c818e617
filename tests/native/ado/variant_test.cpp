#include <gtest/gtest.h>

#include <functional>

#include "DriverFixture.h"
#include "db/ado/Error.h"
#include "db/ado/Numbers.h"
#include "db/ado/Variant.h"
#include "platform/Text.h"

namespace {

using orvitex::ToUtf8;
using namespace orvitex::ado;
using orvitex::ado::testing::ErrorNumberOf;

TEST(Variant, ConvertsToTextLikeCStrAndToWholeNumbersLikeCLng) {
    const struct {
        Variant value;
        const char16_t* text;
    } texts[] = {
        {Variant(), u""},
        {Variant(true), u"True"},
        {Variant(2.5), u"2.5"},
        {Variant(Decimal{u"-0012.500"}), u"-12.5"},
        {Variant(DateTime{2018, 1, 23, 14, 5, 9, 123}), u"2018-01-23 14:05:09"},
        {Variant(Bytes{std::byte{0x41}, std::byte{0x00}, std::byte{0x5C}, std::byte{0xD5}}),
         u"A한"},
    };
    for (const auto& c : texts) {
        SCOPED_TRACE(ToUtf8(c.text));
        EXPECT_EQ(c.value.ToText(), c.text);
    }
    const struct {
        Variant value;
        std::int32_t expected;
    } numbers[] = {
        {Variant(), 0},
        {Variant(true), -1},
        {Variant(2.5), 2},  // half to even
        {Variant(3.5), 4},
        {Variant(u"1e3"), 1000},
        {Variant(Decimal{u"99.5"}), 100},
        {Variant(std::int64_t{-2147483648LL}), -2147483647 - 1},
    };
    for (const auto& c : numbers) {
        SCOPED_TRACE(ToUtf8(c.value.ToText()));
        EXPECT_EQ(c.value.ToInt32(), c.expected);
    }
    // Whole-number text is read exactly, not through a double.
    EXPECT_EQ(Variant(u"9007199254740993").ToInt64(), 9007199254740993LL);
    EXPECT_EQ(Variant(u" -9223372036854775808 ").ToInt64(), INT64_MIN);
}

TEST(Variant, RefusesConversionsThatCannotBeMade) {
    const struct {
        const char* name;
        std::function<void()> action;
        std::int32_t number;
    } cases[] = {
        {"Null to text", [] { (void)Variant::MakeNull().ToText(); }, kInvalidUseOfNull},
        {"words to number", [] { (void)Variant(u"twelve").ToInt32(); }, kTypeMismatch},
        {"empty text to number", [] { (void)Variant(u"").ToDouble(); }, kTypeMismatch},
        {"hex text", [] { (void)Variant(u"0x10").ToInt32(); }, kTypeMismatch},
        {"too large for 32 bits", [] { (void)Variant(std::int64_t{1} << 40).ToInt32(); },
         kOverflow},
        {"double too large", [] { (void)Variant(1e300).ToInt64(); }, kOverflow},
        {"text past a double", [] { (void)Variant(u"1e999").ToDouble(); }, kOverflow},
        {"text past 64 bits", [] { (void)Variant(u"9223372036854775808").ToInt64(); }, kOverflow},
        {"text to bytes", [] { (void)Variant(u"abc").ToBytes(); }, kTypeMismatch},
        {"bad date text", [] { (void)Variant(u"2018-02-30").ToDateTime(); }, kTypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorNumberOf(c.action), c.number);
    }
}

TEST(Variant, ReadsDatesAndBooleansFromTextAndEqualityNeedsTheSameKind) {
    EXPECT_EQ(Variant(u"2018-01-23 14:05:09.123").ToDateTime(),
              (DateTime{2018, 1, 23, 14, 5, 9, 123}));
    EXPECT_EQ(Variant(u"2020/02/29").ToDateTime(), (DateTime{2020, 2, 29, 0, 0, 0, 0}));
    EXPECT_TRUE(Variant(u"TRUE").ToBoolean());
    EXPECT_FALSE(Variant(u"0").ToBoolean());
    EXPECT_NE(Variant(std::int32_t{1}), Variant(std::int64_t{1}));
    EXPECT_NE(Variant(), Variant::MakeNull());
    EXPECT_EQ(Variant(Decimal{u"1.50"}), Variant(Decimal{u"+1.5"}));
}

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
