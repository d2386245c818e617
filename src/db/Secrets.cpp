#include "db/Secrets.h"

#include <array>

#include "platform/Text.h"

namespace orvitex::db {
namespace {

constexpr std::u16string_view kMask = u"***";

bool IsWordCharacter(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
           c == u'_';
}

std::size_t SkipSpaces(std::u16string_view text, std::size_t at) {
    while (at < text.size() && text[at] == u' ')
        ++at;
    return at;
}

// The end of a value starting at `at`: a braced value ends at a "}" that is not doubled;
// a quoted one at its closing quote (the one before ";" or the end, as values are not
// escaped); a bare one before ";" or the end of the line.
std::size_t ValueEnd(std::u16string_view text, std::size_t at) {
    if (at >= text.size())
        return at;
    const char16_t open = text[at];
    if (open == u'{') {
        for (std::size_t i = at + 1; i < text.size(); ++i) {
            if (text[i] != u'}')
                continue;
            if (i + 1 < text.size() && text[i + 1] == u'}') {
                ++i;
                continue;
            }
            return i + 1;
        }
        return text.size();
    }
    if (open == u'\'' || open == u'"') {
        std::size_t firstClose = std::u16string_view::npos;
        for (std::size_t i = at + 1; i < text.size(); ++i) {
            if (text[i] != open)
                continue;
            if (firstClose == std::u16string_view::npos)
                firstClose = i + 1;
            const auto next = SkipSpaces(text, i + 1);
            if (next == text.size() || text[next] == u';' || text[next] == u'\n')
                return i + 1;
        }
        return firstClose == std::u16string_view::npos ? text.size() : firstClose;
    }
    const auto end = text.find_first_of(u";\n", at);
    return end == std::u16string_view::npos ? text.size() : end;
}

void MaskPasswordValues(std::u16string& text) {
    const auto lower = AsciiLower(text);
    std::u16string masked;
    std::size_t copied = 0;
    for (std::size_t at = 0; at < lower.size(); ++at) {
        if (at > 0 && IsWordCharacter(lower[at - 1]))
            continue;
        for (const std::u16string_view key : {u"password", u"pwd"}) {
            if (lower.compare(at, key.size(), key) != 0)
                continue;
            const auto equals = SkipSpaces(lower, at + key.size());
            if (equals >= lower.size() || lower[equals] != u'=')
                continue;
            const auto value = SkipSpaces(lower, equals + 1);
            const auto end = ValueEnd(text, value);
            masked.append(text, copied, value - copied).append(kMask);
            copied = end;
            at = end > 0 ? end - 1 : end;
            break;
        }
    }
    if (copied > 0)
        text = masked.append(text, copied, std::u16string::npos);
}

}  // namespace

std::u16string MaskSecrets(std::u16string text,
                           std::initializer_list<std::u16string_view> connectionStrings) {
    for (const auto secret : connectionStrings) {
        if (secret.empty())
            continue;
        for (auto at = text.find(secret); at != std::u16string::npos;
             at = text.find(secret, at + kMask.size())) {
            text.replace(at, secret.size(), kMask);
        }
    }
    MaskPasswordValues(text);
    return text;
}

}  // namespace orvitex::db
