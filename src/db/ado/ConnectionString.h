#pragma once
// Internal: OLE DB connection strings ("Key = 'value'; ...") and their ODBC form.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Environment.h"

namespace orvitex::ado::detail {

struct ConnectionProperty {
    std::u16string key;  // as written, blanks trimmed
    std::u16string value;
    friend bool operator==(const ConnectionProperty&, const ConnectionProperty&) = default;
};
using ConnectionProperties = std::vector<ConnectionProperty>;

struct ParsedConnectionString {
    ConnectionProperties properties;
    std::u16string error;  // empty when the text parsed
};

// Blanks around keys and values are dropped; values may be quoted with ' or "
// (a doubled quote stands for one); empty segments are skipped.
[[nodiscard]] ParsedConnectionString ParseOleDb(std::u16string_view text);
// The layer's rendering: Key=value pairs joined by ";", quoted where needed, so
// that parsing the rendering gives the same properties.
[[nodiscard]] std::u16string RenderOleDb(const ConnectionProperties& properties);
// The last value of a key (keys compare without regard to ASCII case).
[[nodiscard]] std::optional<std::u16string> FindProperty(const ConnectionProperties& properties,
                                                         std::u16string_view key);
// The ODBC connection string that serves the properties' provider. userId and
// password, when not empty, replace those of the string. Throws ado::Error when
// no mapping exists.
[[nodiscard]] std::u16string MapToOdbc(const ConnectionProperties& properties,
                                       const ProviderDrivers& drivers, std::u16string_view userId,
                                       std::u16string_view password);
// An ODBC attribute value, braced when it holds ; { } = or blanks.
[[nodiscard]] std::u16string OdbcValue(std::u16string_view value);

}  // namespace orvitex::ado::detail
