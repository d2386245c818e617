#include "install/CentralDb.h"

#include <algorithm>

#include "platform/Text.h"

namespace orvitex::install {
namespace {

constexpr auto npos = std::u16string_view::npos;

std::u16string_view Trimmed(std::u16string_view text) {
    const auto first = text.find_first_not_of(u' ');
    return first == npos ? std::u16string_view{}
                         : text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// Where the value starting at `at` ends (at ';' or the end), npos when it is malformed.
std::size_t ValueEnd(std::u16string_view text, std::size_t at) {
    if (at < text.size() && text[at] == u'{') {
        for (std::size_t i = at + 1; i < text.size(); ++i) {
            if (text[i] == u'}' && i + 1 < text.size() && text[i + 1] == u'}') {
                ++i;
            } else if (text[i] == u'}') {
                return i + 1 == text.size() || text[i + 1] == u';' ? i + 1 : npos;
            }
        }
        return npos;
    }
    const auto end = std::min(text.find(u';', at), text.size());
    return text.substr(at, end - at).find_first_of(u"{}") == npos ? end : npos;
}

}  // namespace

std::optional<std::u16string> CentralDbConnectionString(std::u16string_view path) {
    if (path.empty() || path.find_first_of(u";{}") != std::u16string_view::npos) {
        return std::nullopt;
    }
    std::u16string text = u"Driver={SQLite3};Database=";
    text += path;
    text += u";NoCreat=1";
    return text;
}

std::optional<std::u16string> CentralOdbcConnectionString(std::u16string_view text) {
    if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c < u' ' || c == 0x7F; })) {
        return std::nullopt;
    }
    bool driver = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto equals = text.find(u'=', at);
        if (Trimmed(text.substr(at, std::min(equals, text.find(u';', at)) - at)).empty()) {
            if (text[at] == u';' || text[at] == u' ') {
                continue;  // an empty part, as a trailing ';' makes
            }
            return std::nullopt;
        }
        const std::u16string key = AsciiLower(Trimmed(text.substr(at, equals - at)));
        const std::size_t end = equals == npos ? npos : ValueEnd(text, equals + 1);
        if (end == npos || key.find(u';') != npos || key == u"dsn" || key == u"filedsn") {
            return std::nullopt;
        }
        const auto value = Trimmed(text.substr(equals + 1, end - equals - 1));
        driver = driver || (key == u"driver" && !value.empty() && value != u"{}");
        at = end;
    }
    return driver ? std::optional<std::u16string>(text) : std::nullopt;
}

}  // namespace orvitex::install
