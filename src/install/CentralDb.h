#pragma once
// The central database in place of the SQL Server driver: a SQLite file reached
// through the SQLite ODBC driver, or any server through a DSN-less ODBC
// connection string (staging, and the tests that take a server away mid-run).
#include <optional>
#include <string>
#include <string_view>

namespace orvitex::install {

// The complete ODBC connection string for the file, or nullopt when the path
// cannot be written into one (empty, or holding ';', '{' or '}'). The driver
// is told not to create a missing file, so a wrong path fails the connection.
[[nodiscard]] std::optional<std::u16string> CentralDbConnectionString(std::u16string_view path);

// The text unchanged when the driver manager reads it as written: "key=value"
// parts split by ';', a braced value closed (a doubled '}' inside standing for
// one), a non-empty Driver, no DSN or FILEDSN (a data source of the machine
// would decide the rest) and no control character. Else nullopt.
[[nodiscard]] std::optional<std::u16string> CentralOdbcConnectionString(std::u16string_view text);

}  // namespace orvitex::install
