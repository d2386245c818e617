#pragma once
// The value of a field or parameter, with the conversions a BASIC variant makes.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace orvitex::ado {

using Bytes = std::vector<std::byte>;

// An exact decimal number kept as its canonical text ("-12.50" → "-12.5").
struct Decimal {
    std::u16string digits;
    friend bool operator==(const Decimal&, const Decimal&) = default;
};

struct DateTime {
    std::int32_t year = 1899, month = 12, day = 30;
    std::int32_t hour = 0, minute = 0, second = 0;
    std::int32_t millisecond = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

class Variant {
public:
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"  // Kind::Bytes is scoped; GCC warns all the same
#endif
    enum class Kind { Empty, Null, Boolean, Int32, Int64, Double, Decimal, Date, Text, Bytes };
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

    Variant() = default;  // Empty
    static Variant MakeNull();
    Variant(bool value);
    Variant(std::int32_t value);
    Variant(std::int64_t value);
    Variant(double value);
    Variant(Decimal value);
    Variant(DateTime value);
    Variant(std::u16string value);
    Variant(std::u16string_view value);
    Variant(const char16_t* value);
    // Byte arrays are shared, never copied, when a variant is copied: a blob of
    // hundreds of megabytes passes from field to caller without a second copy.
    Variant(Bytes value);
    Variant(std::shared_ptr<const Bytes> value);

    Kind GetKind() const;
    bool IsEmpty() const {
        return GetKind() == Kind::Empty;
    }
    bool IsNull() const {
        return GetKind() == Kind::Null;
    }

    // CStr: Empty → "", numbers in decimal, dates as "yyyy-mm-dd hh:mm:ss",
    // bytes as UTF-16 code units. Null throws kInvalidUseOfNull.
    std::u16string ToText() const;
    // CLng-like: whole numbers and numeric text; anything else throws kTypeMismatch.
    std::int32_t ToInt32() const;
    std::int64_t ToInt64() const;
    double ToDouble() const;
    bool ToBoolean() const;
    DateTime ToDateTime() const;
    // The bytes of a Bytes variant (shared); throws kTypeMismatch for other kinds.
    std::shared_ptr<const Bytes> ToBytes() const;

    // Direct access when the kind is known.
    template <typename T>
    const T* As() const {
        return std::get_if<T>(&value_);
    }

    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) = default;
    };
    std::variant<std::monostate, NullTag, bool, std::int32_t, std::int64_t, double, Decimal,
                 DateTime, std::u16string, std::shared_ptr<const Bytes>>
        value_;
};

}  // namespace orvitex::ado
