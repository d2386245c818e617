#pragma once
// The embedded central database: a SQLite file reached through the SQLite ODBC
// driver in place of the SQL Server driver.
#include <optional>
#include <string>
#include <string_view>

namespace orvitex::install {

// The complete ODBC connection string for the file, or nullopt when the path
// cannot be written into one (empty, or holding ';', '{' or '}'). The driver
// is told not to create a missing file, so a wrong path fails the connection.
[[nodiscard]] std::optional<std::u16string> CentralDbConnectionString(std::u16string_view path);

}  // namespace orvitex::install
