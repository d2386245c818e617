#pragma once
// The OLE DB connection strings of the connect methods, exactly as the servers
// in the field expect them: values inserted unchanged, blanks as they are.
#include <string>
#include <string_view>

namespace orvitex::db {

[[nodiscard]] std::u16string SqlServerConnectionString(std::u16string_view provider,
                                                       std::u16string_view server,
                                                       std::u16string_view database,
                                                       std::u16string_view id,
                                                       std::u16string_view password);
[[nodiscard]] std::u16string JetConnectionString(std::u16string_view path);
[[nodiscard]] std::u16string DsnConnectionString(std::u16string_view dsn);
[[nodiscard]] std::u16string OracleConnectionString(std::u16string_view server,
                                                    std::u16string_view id,
                                                    std::u16string_view password);

}  // namespace orvitex::db
