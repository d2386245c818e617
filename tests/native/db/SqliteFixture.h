#pragma once
// A clsDBMng whose SQLOLEDB connections reach a SQLite file in a temporary folder.
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

class SqliteTest : public ::testing::Test {
protected:
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

    // The first value of the query's first row as a connection of its own to the same
    // file sees it: only what is committed.
    ado::Variant Seen(std::u16string_view query) {
        auto other = ado::Connection::Create(environment);
        other->Open(u"Driver={SQLite3};Database=" + FromUtf8(folder.File("central.db").string()));
        return other->Execute(query)->GetFields()[0].Value();
    }

    orvitex::testing::TempDir folder{"orvitex-db"};
    FakeUi ui;
    MemoryFileSystem files;
    std::shared_ptr<ado::Environment> environment = ado::Environment::Create(
        {.sqlServerReplacement =
             FromUtf8("Driver={SQLite3};Database=" + folder.File("central.db").string() + ";")});
    clsDBMng db{environment, ui, files};
};

}  // namespace orvitex::db::testing
