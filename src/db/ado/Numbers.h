#pragma once
// Internal: exact decimal text and date text, shared by values, fetching and binding.
#include <optional>
#include <string>
#include <string_view>

#include "db/ado/Variant.h"

namespace orvitex::ado::detail {

// "+0012.500" → "12.5", "-0.0" → "0", ".5" → "0.5"; nullopt when not a plain decimal.
[[nodiscard]] std::optional<std::u16string> CanonicalDecimal(std::u16string_view text);
// Digits after the point of a canonical decimal.
[[nodiscard]] int DecimalScale(std::u16string_view canonical);
// A double as plain decimal text (no exponent), to 15 significant digits.
[[nodiscard]] std::u16string DoubleToDecimalText(double value);
// "yyyy-mm-dd", "yyyy-mm-dd hh:mm[:ss[.fff]]" (also with "/" or "T"); nullopt otherwise.
[[nodiscard]] std::optional<DateTime> ParseDateTime(std::u16string_view text);
[[nodiscard]] std::u16string FormatDateTime(const DateTime& value);
[[nodiscard]] bool IsValidDate(const DateTime& value);

}  // namespace orvitex::ado::detail
