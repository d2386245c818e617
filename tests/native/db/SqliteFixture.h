#pragma once
// A clsDBMng whose SQLOLEDB connections reach a SQLite file in a temporary
// folder, with the stopped server clock loaded.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Fakes.h"
#include "db/Required.h"
#include "db/ado/Environment.h"
#include "db/clsDBMng.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace orvitex::db::testing {

inline std::u16string SqliteOdbcString(const std::filesystem::path& file, bool withClock = true) {
    std::string text = "Driver={SQLite3};Database=" + file.string() + ";";
    if (withClock)
        text += std::string("LoadExt=") + ORVITEX_SQLITE_CLOCK + ";";
    return FromUtf8(text);
}

class SqliteTest : public ::testing::Test {
protected:
    std::shared_ptr<ado::Environment> MakeEnvironment(bool withClock = true) {
        ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement = SqliteOdbcString(file, withClock);
        return ado::Environment::Create(drivers);
    }

    // The layer's own rendering of a connection string.
    std::u16string Rendered(std::u16string_view literal) {
        auto connection = ado::Connection::Create(environment);
        connection->SetConnectionString(literal);
        return connection->ConnectionString();
    }

    void Connect(clsDBMng& target) {
        ASSERT_EQ(target.ConnectServerDB(u"127.0.0.1", u"sa", u"secret", u"orvitex"), 1);
    }
    void Connect() { Connect(db); }

    // Runs statements straight on the main connection, bypassing the class's traps.
    void Sql(std::u16string_view statement) {
        static_cast<void>(Required(db.sConnect).Execute(statement));
    }
    std::int32_t Count(std::u16string_view table) {
        auto rows = Required(db.sConnect).Execute(u"SELECT COUNT(*) FROM " + std::u16string(table));
        return rows->GetFields().Item(0).Value().ToInt32();
    }

    orvitex::testing::TempDir folder{"orvitex-db"};
    std::filesystem::path file = folder.File("central.db");
    FakeUi ui;
    MemoryFileSystem files;
    std::shared_ptr<ado::Environment> environment = MakeEnvironment();
    clsDBMng db{environment, ui, files};
};

}  // namespace orvitex::db::testing
