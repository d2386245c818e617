#include "db/ado/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "db/ado/Error.h"
#include "db/ado/Numbers.h"
#include "platform/Text.h"

namespace orvitex::ado {

namespace {

constexpr char16_t kSource[] = u"Variant";

[[noreturn]] void ThrowMismatch() {
    throw Error(kTypeMismatch, kSource, u"Type mismatch");
}
[[noreturn]] void ThrowNull() {
    throw Error(kInvalidUseOfNull, kSource, u"Invalid use of Null");
}
[[noreturn]] void ThrowOverflow() {
    throw Error(kOverflow, kSource, u"Overflow");
}

// The text without the blanks around it, when it is all ASCII.
std::optional<std::string> TrimmedAscii(std::u16string_view text) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F)
            return std::nullopt;
        ascii += static_cast<char>(c);
    }
    const auto first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const auto last = ascii.find_last_not_of(" \t");
    return ascii.substr(first, last - first + 1);
}

// Numeric text as BASIC reads it: blanks around, sign, digits, point, exponent.
// A number past the range of a double is an overflow, never infinity.
std::optional<double> ParseNumber(std::u16string_view text) {
    const auto ascii = TrimmedAscii(text);
    if (!ascii || ascii->find_first_of("xXpPnN") != std::string::npos)
        return std::nullopt;  // hex, nan, inf
    char* end = nullptr;
    const double value = std::strtod(ascii->c_str(), &end);
    if (end != ascii->c_str() + ascii->size())
        return std::nullopt;
    if (!std::isfinite(value))
        ThrowOverflow();
    return value;
}

// Whole-number text read exactly: past 2^53 a double would round it.
std::optional<std::int64_t> ParseWholeNumber(std::u16string_view text) {
    auto ascii = TrimmedAscii(text);
    if (!ascii)
        return std::nullopt;
    if (ascii->starts_with('+'))
        ascii->erase(0, 1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(ascii->data(), ascii->data() + ascii->size(), value);
    if (end != ascii->data() + ascii->size() || ascii->empty())
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        ThrowOverflow();
    return error == std::errc() ? std::optional(value) : std::nullopt;
}

template <typename Int>
Int RoundToInteger(double value) {
    if (!std::isfinite(value))
        ThrowOverflow();
    const double rounded = std::nearbyint(value);  // half to even, as CLng rounds
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded >= -static_cast<double>(std::numeric_limits<Int>::min())) {
        ThrowOverflow();
    }
    return static_cast<Int>(rounded);
}

}  // namespace

Variant Variant::MakeNull() {
    Variant value;
    value.value_ = NullTag{};
    return value;
}

Variant::Variant(bool value) : value_(value) {}
Variant::Variant(std::int32_t value) : value_(value) {}
Variant::Variant(std::int64_t value) : value_(value) {}
Variant::Variant(double value) : value_(value) {}
Variant::Variant(Decimal value) {
    if (auto canonical = detail::CanonicalDecimal(value.digits))
        value.digits = *canonical;
    value_ = std::move(value);
}
Variant::Variant(DateTime value) : value_(value) {}
Variant::Variant(std::u16string value) : value_(std::move(value)) {}
Variant::Variant(std::u16string_view value) : value_(std::u16string(value)) {}
Variant::Variant(const char16_t* value) : value_(std::u16string(value)) {}
Variant::Variant(Bytes value) : value_(std::make_shared<const Bytes>(std::move(value))) {}
Variant::Variant(std::shared_ptr<const Bytes> value) {
    if (!value)
        value = std::make_shared<const Bytes>();
    value_ = std::move(value);
}

Variant::Kind Variant::GetKind() const {
    return static_cast<Kind>(value_.index());
}

std::u16string Variant::ToText() const {
    switch (GetKind()) {
        case Kind::Empty:
            return {};
        case Kind::Null:
            ThrowNull();
        case Kind::Boolean:
            return std::get<bool>(value_) ? u"True" : u"False";
        case Kind::Int32:
            return orvitex::ToText(std::int64_t{std::get<std::int32_t>(value_)});
        case Kind::Int64:
            return orvitex::ToText(std::get<std::int64_t>(value_));
        case Kind::Double:
            return orvitex::ToText(std::get<double>(value_));
        case Kind::Decimal:
            return std::get<Decimal>(value_).digits;
        case Kind::Date:
            return detail::FormatDateTime(std::get<DateTime>(value_));
        case Kind::Text:
            return std::get<std::u16string>(value_);
        case Kind::Bytes: {
            const Bytes& bytes = *std::get<std::shared_ptr<const Bytes>>(value_);
            std::u16string text((bytes.size() + 1) / 2, u'\0');
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const auto byte = static_cast<char16_t>(bytes[i]);
                text[i / 2] = static_cast<char16_t>(text[i / 2] | (i % 2 ? byte << 8 : byte));
            }
            return text;
        }
    }
    ThrowMismatch();
}

double Variant::ToDouble() const {
    switch (GetKind()) {
        case Kind::Empty:
            return 0.0;
        case Kind::Null:
            ThrowNull();
        case Kind::Boolean:
            return std::get<bool>(value_) ? -1.0 : 0.0;
        case Kind::Int32:
            return std::get<std::int32_t>(value_);
        case Kind::Int64:
            return static_cast<double>(std::get<std::int64_t>(value_));
        case Kind::Double:
            return std::get<double>(value_);
        case Kind::Decimal:
            if (auto number = ParseNumber(std::get<Decimal>(value_).digits))
                return *number;
            ThrowMismatch();
        case Kind::Text:
            if (auto number = ParseNumber(std::get<std::u16string>(value_)))
                return *number;
            ThrowMismatch();
        case Kind::Date:
        case Kind::Bytes:
            break;
    }
    ThrowMismatch();
}

std::int64_t Variant::ToInt64() const {
    switch (GetKind()) {
        case Kind::Int32:
            return std::get<std::int32_t>(value_);
        case Kind::Int64:
            return std::get<std::int64_t>(value_);
        case Kind::Text:
            if (auto whole = ParseWholeNumber(std::get<std::u16string>(value_)))
                return *whole;
            break;
        case Kind::Decimal:
            if (auto whole = ParseWholeNumber(std::get<Decimal>(value_).digits))
                return *whole;
            break;
        default:
            break;
    }
    return RoundToInteger<std::int64_t>(ToDouble());
}

std::int32_t Variant::ToInt32() const {
    if (GetKind() == Kind::Int32)
        return std::get<std::int32_t>(value_);
    if (GetKind() == Kind::Int64) {
        const std::int64_t value = std::get<std::int64_t>(value_);
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max()) {
            ThrowOverflow();
        }
        return static_cast<std::int32_t>(value);
    }
    return RoundToInteger<std::int32_t>(ToDouble());
}

bool Variant::ToBoolean() const {
    switch (GetKind()) {
        case Kind::Boolean:
            return std::get<bool>(value_);
        case Kind::Text: {
            const std::u16string lower = AsciiLower(std::get<std::u16string>(value_));
            if (lower == u"true")
                return true;
            if (lower == u"false")
                return false;
            break;
        }
        default:
            break;
    }
    return ToDouble() != 0.0;
}

DateTime Variant::ToDateTime() const {
    switch (GetKind()) {
        case Kind::Empty:
            return DateTime{};
        case Kind::Null:
            ThrowNull();
        case Kind::Date:
            return std::get<DateTime>(value_);
        case Kind::Text:
            if (auto date = detail::ParseDateTime(std::get<std::u16string>(value_)))
                return *date;
            break;
        default:
            break;
    }
    ThrowMismatch();
}

std::shared_ptr<const Bytes> Variant::ToBytes() const {
    if (GetKind() != Kind::Bytes)
        ThrowMismatch();
    return std::get<std::shared_ptr<const Bytes>>(value_);
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.GetKind() != b.GetKind())
        return false;
    if (a.GetKind() == Variant::Kind::Bytes) {
        return *std::get<std::shared_ptr<const Bytes>>(a.value_) ==
               *std::get<std::shared_ptr<const Bytes>>(b.value_);
    }
    return a.value_ == b.value_;
}

}  // namespace orvitex::ado
