#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/ConnectionStrings.h"

namespace orvitex::db {
namespace {

using testing::FakeUi;
using testing::MemoryFileSystem;
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
        {"empty database and password",
         SqlServerConnectionString(u"SQLOLEDB", u"srv", u"", u"sa", u""),
         u"Provider       ='SQLOLEDB';  Data Source    ='srv';   Initial Catalog=''; "
         u"User Id        ='sa';     Password       =''     "},
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
        {"oracle, empty password", OracleConnectionString(u"ORCL", u"scott", u""),
         u"Provider=Microsoft OLE DB Provider for Oracle;Data Source    ='ORCL';   "
         u"Persist Security Info=False;         User Id        ='scott';       "
         u"Password       =''       "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToUtf8(c.built), ToUtf8(c.expected));
    }
}

// The layer renders what it was given; the class must give it the literal text.
class ConnectionStringsThroughTheClass : public SqliteTest {};

TEST_F(ConnectionStringsThroughTheClass, ConnectServerDBHandsOverTheLiteralAndRemembersIt) {
    struct Case {
        const char* name;
        ado::Variant server, id, password;
        std::u16string database;
        std::u16string literal;
    };
    const Case cases[] = {
        {"all four given", u"127.0.0.1", u"sa", u"$19KupTel57@$", u"orvitex",
         u"Provider       ='SQLOLEDB';  Data Source    ='127.0.0.1';   Initial Catalog='orvitex'; "
         u"User Id        ='sa';     Password       ='$19KupTel57@$'     "},
        {"empty password, numeric login", u"srv", std::int32_t{42}, u"", u"orvitex",
         u"Provider       ='SQLOLEDB';  Data Source    ='srv';   Initial Catalog='orvitex'; "
         u"User Id        ='42';     Password       =''     "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(db.ConnectServerDB(c.server, c.id, c.password, c.database), 1);
        EXPECT_EQ(ToUtf8(db.DBConnectString), ToUtf8(Rendered(c.literal)));
        EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()), ToUtf8(Rendered(c.literal)));
        EXPECT_EQ(db.DatabaseName, c.database);
    }
}

TEST_F(ConnectionStringsThroughTheClass, SiblingsHandOverTheirLiterals) {
    // No Jet, DSN or Oracle driver is installed here: the opens fail, but the
    // string each method built stays on the new connection.
    ASSERT_EQ(db.ConnectServerMDB(u"C:\\LocalData\\OrviTex.mdb"), 0);
    EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()),
              ToUtf8(Rendered(u"Provider=Microsoft.Jet.OLEDB.4.0; "
                              u"Data Source=C:\\LocalData\\OrviTex.mdb;")));
    EXPECT_EQ(db.sConnect->CommandTimeout(), 90);
    EXPECT_TRUE(db.DBConnectString.empty());

    ASSERT_EQ(db.ConnectServerDSN(u"NoSuchSourceForOrviTex"), 0);
    EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()),
              ToUtf8(Rendered(u"Data Source=NoSuchSourceForOrviTex;")));
    EXPECT_EQ(db.sConnect->CommandTimeout(), 90);
    EXPECT_TRUE(db.DBConnectString.empty());

    const std::u16string oracle =
        u"Provider=Microsoft OLE DB Provider for Oracle;Data Source    ='ORCL';   "
        u"Persist Security Info=False;         User Id        ='scott';       "
        u"Password       ='ti'ger'       ";
    ASSERT_EQ(db.ConnectServerORACLE(u"ORCL", u"scott", u"ti'ger"), 0);
    EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()), ToUtf8(Rendered(oracle)));
    EXPECT_EQ(ToUtf8(db.DBConnectString), ToUtf8(Rendered(oracle)));
    EXPECT_EQ(db.sConnect->CommandTimeout(), 300);
    EXPECT_TRUE(db.ErrorDesc.empty());
}

TEST_F(ConnectionStringsThroughTheClass, OnlyOrviTexBKExactlyShortensTheLoginTimeout) {
    struct Case {
        const char* name;
        std::u16string database;
        std::int32_t configured;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"backup database", u"OrviTexBK", 10, 1},
        {"backup database, longer setting", u"OrviTexBK", 25, 1},
        {"other letter case", u"orvitexbk", 10, 10},
        {"upper case", u"ORVITEXBK", 25, 25},
        {"main database", u"orvitex", 25, 25},
        {"no database", u"", 10, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db.DBConnectionTimeout = c.configured;
        ASSERT_EQ(db.ConnectServerDB(u"127.0.0.1", u"sa", u"pw", c.database), 1);
        EXPECT_EQ(db.sConnect->ConnectionTimeout(), c.expected);
        EXPECT_EQ(db.sConnect->CommandTimeout(), 300);
        EXPECT_EQ(db.sConnect->CursorLocation(), ado::adUseClient);
    }
}

}  // namespace
}  // namespace orvitex::db
