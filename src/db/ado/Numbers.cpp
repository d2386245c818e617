#include "db/ado/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace orvitex::ado::detail {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
        text.remove_suffix(1);
    return text;
}

// Reads exactly `count` digits at `pos`.
std::optional<int> Digits(std::u16string_view text, std::size_t& pos, std::size_t count) {
    if (pos + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsDigit(text[pos + i]))
            return std::nullopt;
        value = value * 10 + (text[pos + i] - u'0');
    }
    pos += count;
    return value;
}

bool Expect(std::u16string_view text, std::size_t& pos, std::u16string_view choices) {
    if (pos < text.size() && choices.find(text[pos]) != std::u16string_view::npos) {
        ++pos;
        return true;
    }
    return false;
}

}  // namespace

std::optional<std::u16string> CanonicalDecimal(std::u16string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find(u'.');
    std::u16string_view whole = text.substr(0, point);
    std::u16string_view fraction =
        point == std::u16string_view::npos ? std::u16string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    for (char16_t c : whole) {
        if (!IsDigit(c))
            return std::nullopt;
    }
    for (char16_t c : fraction) {
        if (!IsDigit(c))
            return std::nullopt;
    }
    while (!whole.empty() && whole.front() == u'0')
        whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == u'0')
        fraction.remove_suffix(1);
    std::u16string result = whole.empty() ? u"0" : std::u16string(whole);
    if (!fraction.empty()) {
        result += u'.';
        result += fraction;
    }
    if (negative && result != u"0")
        result.insert(result.begin(), u'-');
    return result;
}

int DecimalScale(std::u16string_view canonical) {
    const std::size_t point = canonical.find(u'.');
    return point == std::u16string_view::npos ? 0 : static_cast<int>(canonical.size() - point - 1);
}

std::u16string DoubleToDecimalText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    if (text.find_first_of("eE") != std::string::npos) {
        // Exponent form: write all digits out, then trim to the same significance.
        const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
        const int decimals = std::max(0, 14 - exponent);
        std::vector<char> wide(static_cast<std::size_t>(400 + decimals));
        std::snprintf(wide.data(), wide.size(), "%.*f", decimals, value);
        text = wide.data();
    }
    const std::u16string raw(text.begin(), text.end());
    return CanonicalDecimal(raw).value_or(raw);
}

std::optional<DateTime> ParseDateTime(std::u16string_view text) {
    text = Trim(text);
    std::size_t pos = 0;
    DateTime value;
    auto year = Digits(text, pos, 4);
    if (!year || !Expect(text, pos, u"-/"))
        return std::nullopt;
    auto month = Digits(text, pos, 2);
    if (!month || !Expect(text, pos, u"-/"))
        return std::nullopt;
    auto day = Digits(text, pos, 2);
    if (!day)
        return std::nullopt;
    value.year = *year;
    value.month = *month;
    value.day = *day;
    value.hour = value.minute = value.second = value.millisecond = 0;
    if (pos < text.size()) {
        if (!Expect(text, pos, u" T"))
            return std::nullopt;
        auto hour = Digits(text, pos, 2);
        if (!hour || !Expect(text, pos, u":"))
            return std::nullopt;
        auto minute = Digits(text, pos, 2);
        if (!minute)
            return std::nullopt;
        value.hour = *hour;
        value.minute = *minute;
        if (Expect(text, pos, u":")) {
            auto second = Digits(text, pos, 2);
            if (!second)
                return std::nullopt;
            value.second = *second;
            if (Expect(text, pos, u".")) {
                int scale = 100;
                int millisecond = 0;
                bool any = false;
                while (pos < text.size() && IsDigit(text[pos])) {
                    millisecond += (text[pos] - u'0') * scale;
                    scale /= 10;
                    ++pos;
                    any = true;
                }
                if (!any)
                    return std::nullopt;
                value.millisecond = millisecond;
            }
        }
        if (pos != text.size())
            return std::nullopt;
    }
    if (!IsValidDate(value))
        return std::nullopt;
    return value;
}

bool IsValidDate(const DateTime& v) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (v.year < 1 || v.year > 9999 || v.month < 1 || v.month > 12)
        return false;
    const bool leap = (v.year % 4 == 0 && v.year % 100 != 0) || v.year % 400 == 0;
    const int days = v.month == 2 && !leap ? 28 : kDays[v.month - 1];
    return v.day >= 1 && v.day <= days && v.hour >= 0 && v.hour < 24 && v.minute >= 0 &&
           v.minute < 60 && v.second >= 0 && v.second < 60 && v.millisecond >= 0 &&
           v.millisecond < 1000;
}

std::u16string FormatDateTime(const DateTime& v) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", v.year, v.month, v.day,
                  v.hour, v.minute, v.second);
    const std::string text = buffer;
    return std::u16string(text.begin(), text.end());
}

}  // namespace orvitex::ado::detail
