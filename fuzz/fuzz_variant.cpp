// Input: a kind selector, then a number or text. Every conversion of a variant
// either gives a value or throws one of the three conversion errors; numbers that
// convert agree with each other, and text written by the layer (numbers, decimals,
// dates) reads back as the value it was written from.
#include <cmath>
#include <cstring>

#include "FuzzSupport.h"
#include "db/ado/Error.h"
#include "db/ado/Numbers.h"
#include "db/ado/Variant.h"

namespace {

using namespace orvitex::ado;
using orvitex::fuzz::Require;

template <typename Conversion>
auto Try(Conversion convert) -> std::optional<decltype(convert())> {
    try {
        return convert();
    } catch (const Error& error) {
        const auto n = error.Number();
        Require(n == kTypeMismatch || n == kOverflow || n == kInvalidUseOfNull,
                "a conversion fails only with a conversion error", error.Description());
        return std::nullopt;
    }
}

Variant MakeVariant(FuzzedDataProvider& data) {
    switch (data.ConsumeIntegralInRange(0, 9)) {
        case 0:
            return {};
        case 1:
            return Variant::MakeNull();
        case 2:
            return data.ConsumeBool();
        case 3:
            return data.ConsumeIntegral<std::int32_t>();
        case 4:
            return data.ConsumeIntegral<std::int64_t>();
        case 5:
            return data.ConsumeFloatingPoint<double>();
        case 6:
            return Decimal{orvitex::fuzz::RemainingText(data)};
        case 7: {
            const auto b = data.ConsumeBytes<std::byte>(data.remaining_bytes());
            return Bytes(b.begin(), b.end());
        }
        case 8:
            return DateTime{
                data.ConsumeIntegralInRange(-1, 10000), data.ConsumeIntegralInRange(-1, 13),
                data.ConsumeIntegralInRange(-1, 32),    data.ConsumeIntegralInRange(-1, 24),
                data.ConsumeIntegralInRange(-1, 60),    data.ConsumeIntegralInRange(-1, 60)};
        default:
            return orvitex::fuzz::RemainingText(data);
    }
}

void CheckNumbers(const Variant& v) {
    const auto d = Try([&] { return v.ToDouble(); });
    const auto i32 = Try([&] { return v.ToInt32(); });
    const auto i64 = Try([&] { return v.ToInt64(); });
    (void)Try([&] { return v.ToBoolean(); });
    (void)Try([&] { return v.ToDateTime(); });
    (void)Try([&] { return v.ToBytes(); });
    Require(!i32 || (i64 && *i64 == *i32), "a 32-bit value is also the 64-bit value");
    if (i32 && d && v.GetKind() != Variant::Kind::Int64)
        Require(std::fabs(*d - *i32) <= 0.5, "a whole number is its value rounded");
    if (d && std::isfinite(*d) && std::fabs(*d) < 2e9 && v.GetKind() != Variant::Kind::Int64)
        Require(i32.has_value(), "a number within range converts to 32 bits");
}

void CheckText(const Variant& v) {
    const auto text = Try([&] { return v.ToText(); });
    Require(text.has_value() || v.IsNull(), "only Null has no text");
    if (!text)
        return;
    const Variant again(*text);
    switch (v.GetKind()) {
        case Variant::Kind::Int32:
        case Variant::Kind::Int64:
            // Exact up to 2^53: text passes through a double on its way back.
            if (v.ToInt64() >= -(std::int64_t{1} << 53) && v.ToInt64() <= (std::int64_t{1} << 53))
                Require(Try([&] { return again.ToInt64(); }) == v.ToInt64(),
                        "a whole number reads back from its text", *text);
            break;
        case Variant::Kind::Double: {
            const double d = *v.As<double>();
            const auto back = Try([&] { return again.ToDouble(); });
            // At the very top of the range, 15 digits round up past the largest double.
            if (std::fabs(d) < 1.79769313486231e308)
                Require(back && std::fabs(*back - d) <= std::fabs(d) * 1e-14,
                        "a double reads back from its text to 15 digits", *text);
            break;
        }
        case Variant::Kind::Decimal:
            Require(detail::CanonicalDecimal(*text).value_or(*text) == *text,
                    "a decimal's text is canonical", *text);
            break;
        case Variant::Kind::Bytes: {
            const auto& b = *v.ToBytes();
            Require(text->size() == (b.size() + 1) / 2, "two bytes a character", *text);
            for (std::size_t i = 0; i < b.size(); ++i) {
                const auto unit = static_cast<unsigned>((*text)[i / 2]);
                Require(std::byte((unit >> (i % 2 * 8)) & 0xFF) == b[i],
                        "each byte stays in its character");
            }
            break;
        }
        case Variant::Kind::Date:
            if (detail::IsValidDate(*v.As<DateTime>())) {
                auto expected = *v.As<DateTime>();
                expected.millisecond = 0;
                Require(detail::ParseDateTime(*text) == expected, "a date reads back from its text",
                        *text);
            }
            break;
        default:
            break;
    }
}

// Text from outside: a date that parses is valid and writes back to the same text;
// a decimal's canonical form is a fixed point; a double's decimal text reads back.
void CheckParsers(FuzzedDataProvider& data) {
    const std::u16string text = orvitex::fuzz::ConsumeText(data);
    if (const auto date = detail::ParseDateTime(text)) {
        Require(detail::IsValidDate(*date), "a parsed date is valid", text);
        auto whole = *date;
        whole.millisecond = 0;
        Require(detail::ParseDateTime(detail::FormatDateTime(*date)) == whole,
                "a parsed date writes back and reads again", text);
    }
    if (const auto canonical = detail::CanonicalDecimal(text))
        Require(detail::CanonicalDecimal(*canonical) == canonical, "canonical is a fixed point",
                text);
    const double d = data.ConsumeFloatingPoint<double>();
    if (std::isfinite(d)) {
        const auto decimal = detail::DoubleToDecimalText(d);
        const auto back = Try([&] { return Variant(decimal).ToDouble(); });
        Require(back && std::fabs(*back - d) <= std::fabs(d) * 1e-14,
                "a double's decimal text reads back to 15 digits", decimal);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    if (data.ConsumeBool()) {
        CheckParsers(data);
        return 0;
    }
    const Variant v = MakeVariant(data);
    CheckNumbers(v);
    CheckText(v);
    return 0;
}
