// Input: the code as raw UTF-16 code units (unpaired surrogates and control
// characters included). Whatever was typed, the lookup statement holds it as one
// string literal whose value is the code exactly (lone surrogates as U+FFFD), and
// a code without a quote gives the statement's text unchanged.
#include <string>

#include "FuzzSupport.h"
#include "install/Institution.h"
#include "platform/Text.h"

namespace {

using orvitex::fuzz::Require;

constexpr std::u16string_view kHead =
    u" Select 자동업데이트경로, 서버Name, 서버ID, 서버PWD, 데이터베이스 from tb_orvi서버정보 "
    u"where 요양기관기호 = '";
constexpr std::u16string_view kTail = u"' ";

// The value of a literal's inside, or nullopt when a quote in it is not doubled
// (the literal would end there and the rest would be read as SQL).
std::optional<std::u16string> LiteralValue(std::u16string_view inside) {
    std::u16string value;
    for (std::size_t i = 0; i < inside.size(); ++i) {
        if (inside[i] == u'\'' && (++i == inside.size() || inside[i] != u'\''))
            return std::nullopt;
        value += inside[i];
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::u16string code(size / 2, u'\0');
    for (std::size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);

    const std::u16string statement = orvitex::install::InstitutionQuery(code);
    Require(statement.starts_with(kHead) && statement.ends_with(kTail),
            "the statement keeps its text around the code", statement);
    const std::u16string_view inside = std::u16string_view(statement).substr(
        kHead.size(), statement.size() - kHead.size() - kTail.size());
    const std::u16string whole = orvitex::WithoutLoneSurrogates(code);
    Require(LiteralValue(inside) == whole, "the code is one literal holding it exactly", statement);
    if (code.find(u'\'') == std::u16string::npos)
        Require(inside == whole, "a code without a quote goes in as typed", statement);
    return 0;
}
