#include "db/ado/ConnectionString.h"

#include <algorithm>

#include "db/ado/Error.h"
#include "platform/Text.h"

namespace orvitex::ado::detail {

namespace {

constexpr char16_t kSource[] = u"ADODB.Connection";

std::u16string Braced(std::u16string_view value) {
    std::u16string out = u"{";
    for (char16_t c : value) {
        out += c;
        if (c == u'}')
            out += c;
    }
    out += u'}';
    return out;
}

// "{...}" in which every inner '}' is doubled: one ODBC value that can add no attribute.
bool IsOdbcBraced(std::u16string_view value) {
    if (value.size() < 2 || value.front() != u'{' || value.back() != u'}')
        return false;
    const std::u16string_view inner = value.substr(1, value.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'}' && (++i == inner.size() || inner[i] != u'}'))
            return false;
    }
    return true;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string Position(std::size_t pos) {
    return ToText(static_cast<std::int64_t>(pos + 1));
}

// Reads one "key = value" starting at pos; advances past its ";" or to the end.
// Returns an error text, empty on success.
std::u16string ReadPair(std::u16string_view text, std::size_t& pos, ConnectionProperties& out) {
    const std::size_t start = pos;
    const std::size_t equals = text.find_first_of(u"=;", pos);
    if (equals == std::u16string_view::npos || text[equals] == u';') {
        const auto segment = Trim(text.substr(start, equals - start));
        if (!segment.empty()) {
            return u"the segment \"" + std::u16string(segment) + u"\" at character " +
                   Position(start) + u" has no '='";
        }
        pos = equals == std::u16string_view::npos ? text.size() : equals + 1;
        return {};
    }
    const auto key = Trim(text.substr(start, equals - start));
    if (key.empty())
        return u"a value at character " + Position(equals) + u" has no key";
    pos = equals + 1;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    std::u16string value;
    if (pos < text.size() && (text[pos] == u'\'' || text[pos] == u'"')) {
        const char16_t quote = text[pos];
        const std::size_t open = pos++;
        for (;;) {
            if (pos >= text.size()) {
                return u"the quote at character " + Position(open) + u" is never closed";
            }
            if (text[pos] == quote) {
                if (pos + 1 < text.size() && text[pos + 1] == quote) {
                    value += quote;
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            value += text[pos++];
        }
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        if (pos < text.size() && text[pos] != u';') {
            return u"unexpected text after the quoted value of \"" + std::u16string(key) +
                   u"\" at character " + Position(pos);
        }
    } else {
        const std::size_t end = std::min(text.find(u';', pos), text.size());
        value = Trim(text.substr(pos, end - pos));
        pos = end;
    }
    if (pos < text.size())
        ++pos;  // the ";"
    // A repeated key keeps its first place and takes the last value.
    const auto lower = AsciiLower(key);
    for (auto& earlier : out) {
        if (AsciiLower(earlier.key) == lower) {
            earlier.value = std::move(value);
            return {};
        }
    }
    out.push_back({std::u16string(key), std::move(value)});
    return {};
}

bool NeedsQuotes(std::u16string_view value) {
    if (value.empty())
        return false;
    return value.find_first_of(u";'\"") != std::u16string_view::npos || IsBlank(value.front()) ||
           IsBlank(value.back());
}

std::u16string Quote(std::u16string_view value) {
    const bool hasSingle = value.find(u'\'') != std::u16string_view::npos;
    const bool hasDouble = value.find(u'"') != std::u16string_view::npos;
    const char16_t quote = hasSingle && !hasDouble ? u'"' : u'\'';
    std::u16string out(1, quote);
    for (char16_t c : value) {
        out += c;
        if (c == quote)
            out += c;
    }
    out += quote;
    return out;
}

bool SameKey(std::u16string_view a, std::u16string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

bool IsOneOf(std::u16string_view key, std::initializer_list<std::u16string_view> names) {
    return std::any_of(names.begin(), names.end(), [&](auto n) { return SameKey(key, n); });
}

[[noreturn]] void ThrowMapping(std::int32_t number, std::u16string description) {
    throw Error(number, kSource, std::move(description));
}

// Builds "Key=value;..." for ODBC.
class OdbcBuilder {
public:
    void Add(std::u16string_view key, std::u16string_view value) {
        if (!text_.empty())
            text_ += u';';
        text_ += key;
        text_ += u'=';
        text_ += value;
    }
    void AddValue(std::u16string_view key, std::u16string_view value) {
        Add(key, OdbcValue(value));
    }
    void AddDriver(std::u16string_view name) { Add(u"Driver", Braced(name)); }
    void AddRaw(std::u16string_view text) {
        if (!text_.empty())
            text_ += u';';
        text_ += text;
    }
    // "host,port" becomes Server and Port for drivers that take them apart.
    void AddServer(std::u16string_view server, bool splitPort) {
        const std::size_t comma = server.rfind(u',');
        if (splitPort && comma != std::u16string_view::npos) {
            AddValue(u"Server", Trim(server.substr(0, comma)));
            AddValue(u"Port", Trim(server.substr(comma + 1)));
        } else {
            AddValue(u"Server", server);
        }
    }
    const std::u16string& Text() const { return text_; }

private:
    std::u16string text_;
};

bool IsSqlServerDriver(std::u16string_view driver) {
    return AsciiLower(driver).find(u"sql server") != std::u16string::npos;
}

void AddCredentials(OdbcBuilder& odbc, const ConnectionProperties& properties,
                    std::u16string_view userId, std::u16string_view password) {
    std::optional<std::u16string> uid =
        userId.empty() ? std::nullopt : std::optional<std::u16string>(userId);
    std::optional<std::u16string> pwd =
        password.empty() ? std::nullopt : std::optional<std::u16string>(password);
    for (const auto& p : properties) {
        if (!uid && IsOneOf(p.key, {u"User Id", u"User ID", u"UID", u"User"}))
            uid = p.value;
        if (!pwd && IsOneOf(p.key, {u"Password", u"PWD"}))
            pwd = p.value;
    }
    if (uid)
        odbc.AddValue(u"UID", *uid);
    if (pwd)
        odbc.AddValue(u"PWD", *pwd);
}

// The newer SQL Server drivers encrypt and validate the server's certificate by default
// (ODBC Driver 18), so a self-signed server the old provider reached would be refused.
// They are asked to connect as the old provider did: encrypted only when the server
// insists, without validating its certificate. That keeps today's exposure to an active
// attacker on the clinic's network; a connection string that names its encryption keeps it.
void AddEncryption(OdbcBuilder& odbc, const ConnectionProperties& properties,
                   std::u16string_view driver) {
    if (!IsSqlServerDriver(driver) || AsciiLower(driver) == u"sql server")
        return;
    bool named = false;
    for (const auto& p : properties) {
        if (IsOneOf(p.key, {u"Encrypt", u"Use Encryption for Data"})) {
            odbc.AddValue(u"Encrypt", p.value);
            named = true;
        } else if (IsOneOf(p.key, {u"TrustServerCertificate", u"Trust Server Certificate"})) {
            odbc.AddValue(u"TrustServerCertificate", p.value);
            named = true;
        }
    }
    if (!named) {
        odbc.Add(u"Encrypt", u"no");
        odbc.Add(u"TrustServerCertificate", u"yes");
    }
}

std::u16string MapSqlServer(const ConnectionProperties& properties, const ProviderDrivers& drivers,
                            std::u16string_view userId, std::u16string_view password) {
    if (drivers.sqlServerReplacement)
        return *drivers.sqlServerReplacement;
    OdbcBuilder odbc;
    odbc.AddDriver(drivers.sqlServer);
    const bool split = !IsSqlServerDriver(drivers.sqlServer);
    for (const auto& p : properties) {
        if (IsOneOf(p.key, {u"Data Source", u"Server", u"Address", u"Addr", u"Network Address"})) {
            odbc.AddServer(p.value, split);
        } else if (IsOneOf(p.key, {u"Initial Catalog", u"Database"})) {
            odbc.AddValue(u"Database", p.value);
        } else if (IsOneOf(p.key, {u"Integrated Security", u"Trusted_Connection"})) {
            odbc.Add(u"Trusted_Connection", u"Yes");
        } else if (IsOneOf(p.key, {u"Application Name"})) {
            odbc.AddValue(u"APP", p.value);
        } else if (IsOneOf(p.key, {u"Workstation ID"})) {
            odbc.AddValue(u"WSID", p.value);
        }
    }
    AddEncryption(odbc, properties, drivers.sqlServer);
    AddCredentials(odbc, properties, userId, password);
    return odbc.Text();
}

std::u16string MapJet(const ConnectionProperties& properties, const ProviderDrivers& drivers,
                      std::u16string_view userId, std::u16string_view password) {
    const auto file = FindProperty(properties, u"Data Source");
    if (!file || file->empty()) {
        ThrowMapping(kInitStringFormat,
                     u"The Jet connection string names no database file (Data Source).");
    }
    OdbcBuilder odbc;
    odbc.AddDriver(drivers.jet);
    odbc.AddValue(u"DBQ", *file);
    ConnectionProperties credentials = properties;
    if (auto dbPassword = FindProperty(properties, u"Jet OLEDB:Database Password")) {
        credentials.push_back({u"Password", *dbPassword});
    }
    AddCredentials(odbc, credentials, userId, password);
    return odbc.Text();
}

std::u16string MapOracle(const ConnectionProperties& properties, const ProviderDrivers& drivers,
                         std::u16string_view userId, std::u16string_view password) {
    OdbcBuilder odbc;
    odbc.AddDriver(drivers.oracle);
    if (auto server = FindProperty(properties, u"Data Source"))
        odbc.AddServer(*server, true);
    AddCredentials(odbc, properties, userId, password);
    return odbc.Text();
}

// No provider (or the ODBC provider itself): Data Source names a DSN, and ODBC
// keywords pass through.
std::u16string MapOdbc(const ConnectionProperties& properties, std::u16string_view userId,
                       std::u16string_view password) {
    OdbcBuilder odbc;
    bool target = false;
    for (const auto& p : properties) {
        if (IsOneOf(p.key, {u"Provider", u"User Id", u"User ID", u"UID", u"User", u"Password",
                            u"PWD", u"Persist Security Info"})) {
            continue;
        }
        if (IsOneOf(p.key, {u"Data Source", u"DSN"})) {
            odbc.AddValue(u"DSN", p.value);
            target = true;
        } else if (IsOneOf(p.key, {u"Extended Properties"})) {
            if (!p.value.empty())
                odbc.AddRaw(p.value);
            target = target || !p.value.empty();
        } else {
            odbc.Add(p.key, IsOdbcBraced(p.value) ? p.value : OdbcValue(p.value));
            target = target || IsOneOf(p.key, {u"Driver", u"FileDSN"});
        }
    }
    if (!target) {
        ThrowMapping(kInitStringFormat,
                     u"The connection string names neither a data source (Data Source) nor an "
                     u"ODBC driver.");
    }
    AddCredentials(odbc, properties, userId, password);
    return odbc.Text();
}

}  // namespace

ParsedConnectionString ParseOleDb(std::u16string_view text) {
    ParsedConnectionString parsed;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto error = ReadPair(text, pos, parsed.properties);
        if (!error.empty()) {
            parsed.properties.clear();
            parsed.error = u"The connection string cannot be parsed: " + error + u".";
            break;
        }
    }
    return parsed;
}

std::u16string RenderOleDb(const ConnectionProperties& properties) {
    std::u16string text;
    for (const auto& p : properties) {
        if (!text.empty())
            text += u';';
        text += p.key;
        text += u'=';
        text += NeedsQuotes(p.value) ? Quote(p.value) : p.value;
    }
    return text;
}

std::optional<std::u16string> FindProperty(const ConnectionProperties& properties,
                                           std::u16string_view key) {
    std::optional<std::u16string> found;
    for (const auto& p : properties) {
        if (SameKey(p.key, key))
            found = p.value;
    }
    return found;
}

std::u16string OdbcValue(std::u16string_view value) {
    const bool plain =
        !value.empty() && value.find_first_of(u";{}= \t") == std::u16string_view::npos;
    if (plain || value.empty())
        return std::u16string(value);
    return Braced(value);
}

std::u16string MapToOdbc(const ConnectionProperties& properties, const ProviderDrivers& drivers,
                         std::u16string_view userId, std::u16string_view password) {
    if (properties.empty()) {
        ThrowMapping(kInitStringFormat, u"No connection string was given.");
    }
    const std::u16string provider =
        AsciiLower(Trim(FindProperty(properties, u"Provider").value_or(std::u16string())));
    auto is = [&](std::u16string_view name) {
        return provider == name || provider.starts_with(std::u16string(name) + u".");
    };
    if (is(u"sqloledb"))
        return MapSqlServer(properties, drivers, userId, password);
    if (provider == u"microsoft.jet.oledb.4.0")
        return MapJet(properties, drivers, userId, password);
    if (is(u"msdaora") || provider == u"microsoft ole db provider for oracle") {
        return MapOracle(properties, drivers, userId, password);
    }
    if (provider.empty() || is(u"msdasql"))
        return MapOdbc(properties, userId, password);
    ThrowMapping(adErrProviderNotFound,
                 u"Provider cannot be found. It may not be properly installed. (Provider \"" +
                     std::u16string(Trim(*FindProperty(properties, u"Provider"))) + u"\")");
}

}  // namespace orvitex::ado::detail
