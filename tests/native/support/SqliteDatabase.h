#pragma once
// A SQLite database file of its own, reached through the "SQLite3" ODBC driver.
#include <filesystem>
#include <string>

#include "platform/Text.h"
#include "support/TempDir.h"

namespace orvitex::testing {

class SqliteDatabase {
public:
    const std::filesystem::path& Path() const { return path_; }
    // ODBC keywords pass through an OLE DB string without provider.
    std::u16string ConnectionString() const {
        return u"Driver={SQLite3};Database=" + FromUtf8(path_.string());
    }

private:
    TempDir folder_{"orvitex-sqlite"};
    std::filesystem::path path_ = folder_.File("test.db");
};

}  // namespace orvitex::testing
