// Input: user id and password (each up to a lone backslash), then the OLE DB
// connection string. Parsing never crashes; a parsed string renders and parses
// back to the same properties; the ODBC string of a mapped provider holds only
// that provider's attributes, so no value can smuggle in an attribute of its own.
#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "FuzzSupport.h"
#include "db/ado/ConnectionString.h"
#include "db/ado/Error.h"

namespace {

using namespace orvitex::ado::detail;
using orvitex::AsciiLower;
using orvitex::fuzz::Require;

struct OdbcAttribute {
    std::u16string key;
    std::u16string value;
};

// The ODBC attribute grammar: "key=value" split by ';'; a value in braces holds
// anything, "}}" standing for "}". nullopt when the text breaks it.
std::optional<std::vector<OdbcAttribute>> SplitOdbc(std::u16string_view text) {
    std::vector<OdbcAttribute> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto equals = text.find(u'=', pos);
        if (equals == std::u16string_view::npos)
            return std::nullopt;
        OdbcAttribute attribute{AsciiLower(text.substr(pos, equals - pos)), {}};
        pos = equals + 1;
        if (pos < text.size() && text[pos] == u'{') {
            for (++pos;;) {
                if (pos >= text.size())
                    return std::nullopt;
                const bool doubled = pos + 1 < text.size() && text[pos + 1] == u'}';
                if (text[pos] == u'}' && !doubled)
                    break;
                attribute.value += text[pos];
                pos += text[pos] == u'}' ? 2 : 1;
            }
            if (++pos < text.size() && text[pos] != u';')
                return std::nullopt;
        } else {
            const auto end = std::min(text.find(u';', pos), text.size());
            attribute.value = text.substr(pos, end - pos);
            pos = end;
        }
        ++pos;
        out.push_back(std::move(attribute));
    }
    return out;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

void CheckParsed(const ParsedConnectionString& parsed) {
    Require(parsed.error.empty() || parsed.properties.empty(), "an error leaves no properties");
    std::set<std::u16string> keys;
    for (const auto& p : parsed.properties) {
        Require(!p.key.empty() && !IsBlank(p.key.front()) && !IsBlank(p.key.back()),
                "keys are trimmed", p.key);
        Require(keys.insert(AsciiLower(p.key)).second, "a key appears once", p.key);
    }
    if (!parsed.error.empty())
        return;
    const std::u16string rendered = RenderOleDb(parsed.properties);
    const auto again = ParseOleDb(rendered);
    Require(again.error.empty() && again.properties == parsed.properties,
            "a rendering parses back to the same properties", rendered);
}

// Attribute names each provider's mapping may write; none for the ODBC provider,
// whose keywords pass through by design.
std::optional<std::set<std::u16string>> AllowedKeys(const ConnectionProperties& properties) {
    std::u16string provider = AsciiLower(FindProperty(properties, u"Provider").value_or(u""));
    std::erase_if(provider, [](char16_t c) { return c == u' ' || c == u'\t'; });
    if (provider.starts_with(u"sqloledb"))
        return std::set<std::u16string>{
            u"driver", u"server", u"port", u"database", u"trusted_connection",
            u"app",    u"wsid",   u"uid",  u"pwd"};
    if (provider.starts_with(u"microsoft.jet"))
        return std::set<std::u16string>{u"driver", u"dbq", u"uid", u"pwd"};
    if (provider.starts_with(u"msdaora") || provider.starts_with(u"microsoftoledbproviderfor"))
        return std::set<std::u16string>{u"driver", u"server", u"port", u"uid", u"pwd"};
    return std::nullopt;
}

struct Credential {
    std::u16string_view key;
    std::u16string_view given;
};

void CheckMapped(const ConnectionProperties& properties, std::u16string_view userId,
                 std::u16string_view password) {
    std::u16string odbc;
    try {
        odbc = MapToOdbc(properties, {}, userId, password);
    } catch (const orvitex::ado::Error&) {
        return;  // no mapping for these properties: a reported error, not a fault
    }
    // Raw extended properties are the caller's own ODBC text, taken as they stand.
    if (!FindProperty(properties, u"Extended Properties").value_or(u"").empty())
        return;
    const auto attributes = SplitOdbc(odbc);
    Require(attributes.has_value(), "the ODBC string follows the attribute grammar", odbc);
    if (const auto allowed = AllowedKeys(properties)) {
        for (const auto& a : *attributes)
            Require(allowed->contains(a.key), "only the provider's attributes", odbc);
        Require(!attributes->empty() && attributes->front().key == u"driver",
                "the driver comes first", odbc);
    }
    for (const Credential c : {Credential{u"uid", userId}, Credential{u"pwd", password}}) {
        if (c.given.empty())
            continue;
        auto named = [&](const OdbcAttribute& a) { return a.key == c.key; };
        Require(std::count_if(attributes->begin(), attributes->end(), named) == 1,
                "the given credentials are the only ones", odbc);
        const auto last = std::find_if(attributes->rbegin(), attributes->rend(), named);
        Require(last != attributes->rend() && last->value == c.given,
                "the given credentials reach the driver unchanged", odbc);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::u16string userId = orvitex::fuzz::ConsumeText(data);
    const std::u16string password = orvitex::fuzz::ConsumeText(data);
    const std::u16string text = orvitex::fuzz::RemainingText(data);
    const auto parsed = ParseOleDb(text);
    CheckParsed(parsed);
    if (parsed.error.empty())
        CheckMapped(parsed.properties, userId, password);
    return 0;
}
