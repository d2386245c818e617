#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/ConnectionStrings.h"

namespace orvitex::db {
namespace {

using testing::SqliteTest;

TEST(ConnectionStrings, PiecesAreJoinedByteForByteWithValuesUnescaped) {
    struct Case {
        const char* name;
        std::u16string built;
        std::u16string expected;
    };
    const Case cases[] = {
        {"server string",
         SqlServerConnectionString(u"SQLOLEDB", u"10.0.0.5", u"orvitex", u"sa", u"$19Kup@$"),
         u"Provider       ='SQLOLEDB';  Data Source    ='10.0.0.5';   Initial Catalog='orvitex'; "
         u"User Id        ='sa';     Password       ='$19Kup@$'     "},
        {"apostrophes stay as they are",
         SqlServerConnectionString(u"SQLOLEDB", u"o'srv", u"d'b", u"o'id", u"p'w"),
         u"Provider       ='SQLOLEDB';  Data Source    ='o'srv';   Initial Catalog='d'b'; "
         u"User Id        ='o'id';     Password       ='p'w'     "},
        {"jet file", JetConnectionString(u"C:\\LocalData\\OrviTex.mdb"),
         u"Provider=Microsoft.Jet.OLEDB.4.0; Data Source=C:\\LocalData\\OrviTex.mdb;"},
        {"data source name", DsnConnectionString(u"오르비"), u"Data Source=오르비;"},
        {"oracle", OracleConnectionString(u"ORCL", u"scott", u"tiger"),
         u"Provider=Microsoft OLE DB Provider for Oracle;Data Source    ='ORCL';   "
         u"Persist Security Info=False;         User Id        ='scott';       "
         u"Password       ='tiger'       "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToUtf8(c.built), ToUtf8(c.expected));
    }
}

// The layer renders what it was given; the class must give it the literal text.
TEST_F(SqliteTest, ConnectServerDBHandsOverTheLiteralAndRemembersIt) {
    ASSERT_EQ(db.ConnectServerDB(u"srv", std::int32_t{42}, u"", u"orvitex"), 1);
    const auto literal = Rendered(
        u"Provider       ='SQLOLEDB';  Data Source    ='srv';   Initial Catalog='orvitex'; "
        u"User Id        ='42';     Password       =''     ");
    EXPECT_EQ(ToUtf8(db.DBConnectString), ToUtf8(literal));
    EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()), ToUtf8(literal));
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_EQ(db.sCommand->ActiveConnection(), db.sConnect);
    EXPECT_EQ(db.ServerName + db.ServerID + db.ServerPWD + db.DatabaseName, u"srv42orvitex");
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
}

// ODBC reads a login time-out of 0 as "wait forever": a negative setting must fail instead.
TEST_F(SqliteTest, OnlyOrviTexBKExactlyShortensTheLoginTimeoutAndANegativeOneFails) {
    const struct {
        const char* name;
        std::u16string database;
        std::int32_t configured;
        std::int32_t expected;  // -1: the connect fails
    } cases[] = {
        {"backup database", u"OrviTexBK", 10, 1},
        {"backup database, longer setting", u"OrviTexBK", 25, 1},
        {"other letter case", u"orvitexbk", 25, 25},
        {"main database", u"orvitex", 25, 25},
        {"no limit", u"orvitex", 0, 0},
        {"negative", u"orvitex", -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db.DBConnectionTimeout = c.configured;
        const auto connected = db.ConnectServerDB(u"127.0.0.1", u"sa", u"pw", c.database);
        EXPECT_EQ(connected, c.expected < 0 ? 0 : 1);
        if (connected == 1) {
            EXPECT_EQ(db.sConnect->ConnectionTimeout(), c.expected);
            EXPECT_EQ(db.sConnect->CommandTimeout(), 300);
            EXPECT_EQ(db.sConnect->CursorLocation(), ado::adUseClient);
        }
    }
}

}  // namespace
}  // namespace orvitex::db
