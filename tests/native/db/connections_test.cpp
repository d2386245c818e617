#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/ConnectionStrings.h"

namespace orvitex::db {
namespace {

using testing::SqliteTest;

// No Jet driver is installed here: that open fails, but its string stays on the new connection.
TEST_F(SqliteTest, FailedConnectsHandOverTheirLiteralAndKeepThePreviousDescription) {
    Connect();
    const auto previousCommand = db.sCommand;
    const auto previousConnection = db.sConnect;
    const auto previousString = db.DBConnectString;
    const auto jet = JetConnectionString(u"C:\\LocalData\\OrviTex.mdb");
    const struct {
        const char* name;
        std::function<std::int32_t()> connect;
    } cases[] = {
        {"server that is Null",
         [&] { return db.ConnectServerDB(ado::Variant::MakeNull(), u"sa", u"pw", u"x"); }},
        {"password that is Null",
         [&] { return db.ConnectServerDB(u"srv", u"sa", ado::Variant::MakeNull(), u"x"); }},
        {"Jet", [&] { return db.ConnectServerMDB(u"C:\\LocalData\\OrviTex.mdb"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.pointerChanges.clear();
        db.ErrorDesc = u"stale";
        EXPECT_EQ(c.connect(), 0);
        EXPECT_TRUE(db.ErrorDesc.empty());
        EXPECT_FALSE(db.IsServerConnect());
        EXPECT_NE(db.sConnect, previousConnection);
        EXPECT_EQ(db.sConnect->State(), ado::adStateClosed);
        EXPECT_EQ(ToUtf8(db.DBConnectString), ToUtf8(previousString));
        EXPECT_EQ(db.sCommand, previousCommand);
        EXPECT_EQ(db.ServerPWD, u"secret");
        EXPECT_EQ(db.DatabaseName, u"orvitex");
        EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
        EXPECT_TRUE(ui.messages.empty());
    }
    EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()), ToUtf8(Rendered(jet)));
    EXPECT_EQ(db.sConnect->CommandTimeout(), 90);
}

TEST_F(SqliteTest, ServerDisConnectClosesAndReleasesButKeepsTheLocalObjects) {
    Connect();
    auto closed = db.sConnect;
    db.sRecordset = ado::Recordset::Create();
    db.mRecordset = ado::Recordset::Create();
    EXPECT_EQ(db.ServerDisConnect(), 1);
    EXPECT_EQ(closed->State(), ado::adStateClosed);
    EXPECT_FALSE(db.sConnect || db.sCommand || db.sParameter || db.mRecordset);
    EXPECT_TRUE(db.sRecordset);
    EXPECT_FALSE(db.IsServerConnect());
}

TEST_F(SqliteTest, NotificationsComeOnlyFromTheConnectionTheClassHolds) {
    Connect();
    const auto first = db.sConnect;
    Connect();
    first->Close();  // the old connection no longer reports here
    EXPECT_TRUE(db.IsServerConnect());
    db.sConnect->Close();
    EXPECT_FALSE(db.IsServerConnect());
    std::shared_ptr<ado::Connection> kept;
    {
        clsDBMng shortLived(environment, ui, files);
        Connect(shortLived);
        kept = shortLived.sConnect;
        shortLived.sConnect = nullptr;  // a caller's assignment must not defeat the detach
    }
    kept->Close();  // would reach a destroyed object if still attached
    EXPECT_EQ(kept->State(), ado::adStateClosed);
}

TEST_F(SqliteTest, AFreshClassHasNothingToCloseAndConnectServerReUsesTheRememberedStringOnly) {
    EXPECT_EQ(db.DBConnectionTimeout, 10);
    EXPECT_EQ(db.ServerDisConnect(), 1);
    EXPECT_TRUE(ui.pointerChanges.empty());
    db.ConnectServerRe();
    EXPECT_FALSE(db.IsServerConnect());
    EXPECT_EQ(db.sConnect->State(), ado::adStateClosed);
    EXPECT_FALSE(db.sCommand);
    EXPECT_TRUE(db.ErrorDesc.empty());

    Connect();
    const auto before = db.sConnect;
    db.sConnect->Close();
    ui.pointerChanges.clear();
    db.ConnectServerRe();
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_NE(db.sConnect, before);
    EXPECT_EQ(db.sCommand->ActiveConnection(), db.sConnect);
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{false}));
}

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
        {"backup database", u"OrviTexBK", 25, 1}, {"other letter case", u"orvitexbk", 25, 25},
        {"main database", u"orvitex", 25, 25},    {"no limit", u"orvitex", 0, 0},
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
