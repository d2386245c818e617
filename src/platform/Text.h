#pragma once
// Text is UTF-16 inside the program (std::u16string), on every platform, so that
// the same bytes reach the Win32 "W" functions and ODBC's SQLWCHAR interfaces.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvitex {

// Invalid input is replaced with U+FFFD rather than rejected: these are for logs,
// command lines and test messages, never for data that must round-trip.
[[nodiscard]] std::string ToUtf8(std::u16string_view text);
[[nodiscard]] std::u16string FromUtf8(std::string_view text);

// Well-formed UTF-16: each unpaired surrogate becomes U+FFFD. Text bound for a
// driver that converts it must be whole, or a converter may swallow what follows.
[[nodiscard]] std::u16string WithoutLoneSurrogates(std::u16string_view text);

[[nodiscard]] std::u16string ToText(std::int64_t number);
[[nodiscard]] std::u16string ToText(double number);

// ASCII-only case folding; enough for ODBC keywords and SQLSTATEs.
[[nodiscard]] std::u16string AsciiLower(std::u16string_view text);

}  // namespace orvitex
