#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/ConnectionStrings.h"

namespace orvitex::db {
namespace {

using testing::SqliteOdbcString;
using testing::SqliteTest;

TEST_F(SqliteTest, AFreshClassIsNotConnectedAndPlacesTheLocalFileBesideItsFolder) {
    clsDBMng fresh(environment, ui, files);
    EXPECT_EQ(fresh.DBConnectionTimeout, 10);
    EXPECT_FALSE(fresh.IsServerConnect());
    EXPECT_EQ(fresh.ServerDisConnect(), 1);
    EXPECT_TRUE(ui.pointerChanges.empty());
    for (const auto& [place, expected] :
         {std::pair<std::u16string, std::u16string>{u"D:\\오르비설치",
                                                    u"D:\\오르비설치\\..\\LocalData\\OrviTex.mdb"},
          {u"C:\\", u"C:\\\\..\\LocalData\\OrviTex.mdb"}}) {  // a drive root keeps its separator
        files.executableFolder = place;
        EXPECT_EQ(ToUtf8(fresh.LocalDataFilePath()), ToUtf8(expected));
    }
}

// No Jet, DSN or Oracle driver is installed here: those opens fail, but the string
// each method built stays on the new connection.
TEST_F(SqliteTest, FailedConnectsHandOverTheirLiteralAndKeepThePreviousDescription) {
    Connect();
    const auto previousCommand = db.sCommand;
    const auto previousConnection = db.sConnect;
    const auto previousString = db.DBConnectString;
    const struct {
        const char* name;
        std::function<std::int32_t()> connect;
        std::u16string literal;  // empty: no string is built
        std::int32_t commandTimeout;
        bool remembered;  // the string is kept for reconnecting
    } cases[] = {
        {"server that is Null",
         [&] { return db.ConnectServerDB(ado::Variant::MakeNull(), u"sa", u"pw", u"x"); }, u"", 0,
         false},
        {"password that is Null",
         [&] { return db.ConnectServerDB(u"srv", u"sa", ado::Variant::MakeNull(), u"x"); }, u"", 0,
         false},
        {"Jet", [&] { return db.ConnectServerMDB(u"C:\\LocalData\\OrviTex.mdb"); },
         JetConnectionString(u"C:\\LocalData\\OrviTex.mdb"), 90, false},
        {"data source name", [&] { return db.ConnectServerDSN(u"NoSuchOrviTexDsn"); },
         DsnConnectionString(u"NoSuchOrviTexDsn"), 90, false},
        {"Oracle", [&] { return db.ConnectServerORACLE(u"ORCL", u"scott", u"ti'ger"); },
         OracleConnectionString(u"ORCL", u"scott", u"ti'ger"), 300, true},
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
        if (!c.literal.empty()) {
            EXPECT_EQ(ToUtf8(db.sConnect->ConnectionString()), ToUtf8(Rendered(c.literal)));
            EXPECT_EQ(db.sConnect->CommandTimeout(), c.commandTimeout);
        }
        EXPECT_EQ(ToUtf8(db.DBConnectString),
                  ToUtf8(c.remembered ? Rendered(c.literal) : previousString));
        EXPECT_EQ(db.sCommand, previousCommand);
        EXPECT_EQ(db.ServerPWD, u"secret");
        EXPECT_EQ(db.DatabaseName, u"orvitex");
        EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
        EXPECT_TRUE(ui.messages.empty());
    }
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

TEST_F(SqliteTest, ConnectServerReReopensWithTheRememberedStringOnly) {
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

TEST_F(SqliteTest, TheLocalConnectionLeavesTheMainOneAlone) {
    Connect();
    const auto main = db.sConnect;
    ui.pointerChanges.clear();
    // No Jet driver here: the open fails, and the failure must stay local.
    EXPECT_EQ(db.ConnectLocalDB(u"C:\\LocalData\\OrviTex.mdb"), 0);
    EXPECT_EQ(db.mConnect->State(), ado::adStateClosed);
    EXPECT_EQ(db.mConnect->CursorLocation(), ado::adUseServer);
    EXPECT_EQ(ToUtf8(db.mConnect->ConnectionString()),
              ToUtf8(Rendered(JetConnectionString(u"C:\\LocalData\\OrviTex.mdb"))));
    EXPECT_FALSE(db.mCommand);
    EXPECT_EQ(db.sConnect, main);
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_TRUE(ui.pointerChanges.empty());
    EXPECT_EQ(db.RunSQLm(u"CREATE TABLE 로컬(n INTEGER)"), -1000);

    db.mConnect->Open(SqliteOdbcString(folder.File("local.db"), false));
    EXPECT_EQ(db.RunSQLm(u"CREATE TABLE 로컬(n INTEGER)"), 1);
    EXPECT_EQ(db.RunSQLm(u"INSERT INTO 없는표 VALUES (1)"), -1000);
    EXPECT_TRUE(db.ErrorDesc.empty());
    EXPECT_EQ(db.RunSQL(u"SELECT * FROM 로컬"), -1000);  // not on the main connection
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
