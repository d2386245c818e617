#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "SqliteFixture.h"

namespace orvitex::db {
namespace {

using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::ScriptedConnection;
using testing::SqliteOdbcString;
using testing::SqliteTest;

TEST(clsDBMngFresh, StartsEmptyNotConnectedAndDisconnectsTrivially) {
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db(ado::Environment::Create(), ui, files);
    EXPECT_EQ(db.DBConnectionTimeout, 10);
    EXPECT_FALSE(db.IsServerConnect());
    EXPECT_EQ(db.ServerDisConnect(), 1);
    EXPECT_TRUE(ui.pointerChanges.empty());
}

TEST(clsDBMngFresh, LocalDataFilePathAppendsToTheFolderAsReported) {
    struct Case {
        const char* name;
        std::u16string folder;
        std::u16string expected;
    };
    const Case cases[] = {
        {"program folder", u"C:\\Orvitex\\bin", u"C:\\Orvitex\\bin\\..\\LocalData\\OrviTex.mdb"},
        {"drive root keeps its separator", u"C:\\", u"C:\\\\..\\LocalData\\OrviTex.mdb"},
        {"Hangul folder", u"D:\\오르비설치", u"D:\\오르비설치\\..\\LocalData\\OrviTex.mdb"},
    };
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db(ado::Environment::Create(), ui, files);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files.executableFolder = c.folder;
        EXPECT_EQ(ToUtf8(db.LocalDataFilePath()), ToUtf8(c.expected));
    }
}

TEST_F(SqliteTest, ConnectServerDBOpensBindsTheCommandAndDescribesTheConnection) {
    ASSERT_EQ(db.ConnectServerDB(u"127.0.0.1", u"sa", u"pw", u"orvitex"), 1);
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_EQ(db.sConnect->State(), ado::adStateOpen);
    ASSERT_TRUE(db.sCommand);
    EXPECT_EQ(db.sCommand->ActiveConnection(), db.sConnect);
    EXPECT_EQ(db.ServerName, u"127.0.0.1");
    EXPECT_EQ(db.ServerID, u"sa");
    EXPECT_EQ(db.ServerPWD, u"pw");
    EXPECT_EQ(db.DatabaseName, u"orvitex");
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
}

TEST_F(SqliteTest, FailedConnectsReturnZeroKeepThePreviousDescriptionAndRestoreThePointer) {
    Connect();
    const auto previousCommand = db.sCommand;
    const auto previousConnection = db.sConnect;
    struct Case {
        const char* name;
        std::function<std::int32_t()> connect;
    };
    const Case cases[] = {
        {"server that is Null",
         [&] { return db.ConnectServerDB(ado::Variant::MakeNull(), u"sa", u"pw", u"x"); }},
        {"password that is Null",
         [&] { return db.ConnectServerDB(u"srv", u"sa", ado::Variant::MakeNull(), u"x"); }},
        {"Jet without its driver", [&] { return db.ConnectServerMDB(u"C:\\none.mdb"); }},
        {"unknown data source name", [&] { return db.ConnectServerDSN(u"NoSuchOrviTexDsn"); }},
        {"Oracle without its driver",
         [&] { return db.ConnectServerORACLE(u"ORCL", u"scott", u"tiger"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.pointerChanges.clear();
        db.ErrorDesc = u"stale";
        EXPECT_EQ(c.connect(), 0);
        EXPECT_TRUE(db.ErrorDesc.empty());
        EXPECT_FALSE(db.IsServerConnect());
        ASSERT_TRUE(db.sConnect);
        EXPECT_NE(db.sConnect, previousConnection);
        EXPECT_EQ(db.sConnect->State(), ado::adStateClosed);
        EXPECT_EQ(db.sCommand, previousCommand);
        EXPECT_EQ(db.ServerName, u"127.0.0.1");
        EXPECT_EQ(db.ServerPWD, u"secret");
        EXPECT_EQ(db.DatabaseName, u"orvitex");
        EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(SqliteTest, ANegativeConnectionTimeoutFailsTheConnectInsteadOfWaitingForever) {
    for (const auto& [timeout, expected] : {std::pair{-1, 0}, std::pair{0, 1}}) {
        SCOPED_TRACE(timeout);
        db.DBConnectionTimeout = timeout;
        EXPECT_EQ(db.ConnectServerDB(u"127.0.0.1", u"sa", u"pw", u"orvitex"), expected);
    }
}

TEST_F(SqliteTest, ConnectServerDSNOpensANamedSource) {
    const auto ini = folder.Path() / "odbc.ini";
    std::ofstream(ini) << "[OrviTexLocal]\nDriver=SQLite3\nDatabase=" << file.string() << "\n";
    ::setenv("ODBCINI", ini.c_str(), 1);
    const auto connect = [this] {
#if defined(__SANITIZE_ADDRESS__)
        // The SQLite driver never frees what it reads from odbc.ini; not ours to find.
        const __lsan::ScopedDisabler driverReadsItsIni;
#endif
        return db.ConnectServerDSN(u"OrviTexLocal");
    };
    const auto result = connect();
    ::unsetenv("ODBCINI");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(db.DatabaseName, u"OrviTexLocal");
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_TRUE(db.DBConnectString.empty());
    EXPECT_EQ(db.RunSQL(u"CREATE TABLE t(n INTEGER)"), 1);
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
}

TEST_F(SqliteTest, AConnectionOutlivingTheClassNoLongerReportsToIt) {
    std::shared_ptr<ado::Connection> kept;
    {
        clsDBMng shortLived(environment, ui, files);
        Connect(shortLived);
        kept = shortLived.sConnect;
        shortLived.sConnect = nullptr;  // a caller's assignment must not defeat the detach
    }
    EXPECT_EQ(kept->State(), ado::adStateOpen);
    kept->Close();  // would reach a destroyed object if still attached
    EXPECT_EQ(kept->State(), ado::adStateClosed);
}

TEST_F(SqliteTest, ConnectServerReReopensWithTheRememberedString) {
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

TEST_F(SqliteTest, ConnectServerReWithoutARememberedStringStaysDisconnected) {
    db.ConnectServerRe();
    EXPECT_FALSE(db.IsServerConnect());
    ASSERT_TRUE(db.sConnect);
    EXPECT_EQ(db.sConnect->State(), ado::adStateClosed);
    EXPECT_FALSE(db.sCommand);
    EXPECT_TRUE(db.ErrorDesc.empty());
}

TEST(clsDBMngScripted, ServerDisConnectRollsBackBeforeClosing) {
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db(ado::Environment::Create(), ui, files);
    auto scripted = std::make_shared<ScriptedConnection>();
    db.sConnect = scripted;
    db.fnBeginTrans();
    EXPECT_EQ(db.ServerDisConnect(), 1);
    EXPECT_EQ(scripted->calls,
              (std::vector<std::u16string>{u"BeginTrans", u"RollbackTrans", u"Close"}));
}

TEST(clsDBMngScripted, AFailedRollbackOnDisconnectKeepsTheConnection) {
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db(ado::Environment::Create(), ui, files);
    auto scripted = std::make_shared<ScriptedConnection>();
    db.sConnect = scripted;
    db.fnBeginTrans();
    scripted->failing = {u"RollbackTrans"};
    EXPECT_EQ(db.ServerDisConnect(), 0);
    EXPECT_EQ(db.sConnect, scripted);
    EXPECT_TRUE(scripted->open);
}

TEST_F(SqliteTest, ConnectLocalDBLeavesTheMainConnectionAlone) {
    Connect();
    const auto main = db.sConnect;
    ui.pointerChanges.clear();
    // No Jet driver here: the open fails, and the failure must stay local.
    EXPECT_EQ(db.ConnectLocalDB(u"C:\\LocalData\\OrviTex.mdb"), 0);
    ASSERT_TRUE(db.mConnect);
    EXPECT_EQ(db.mConnect->State(), ado::adStateClosed);
    EXPECT_EQ(db.mConnect->CursorLocation(), ado::adUseServer);
    EXPECT_EQ(ToUtf8(db.mConnect->ConnectionString()),
              ToUtf8(Rendered(u"Provider=Microsoft.Jet.OLEDB.4.0; "
                              u"Data Source=C:\\LocalData\\OrviTex.mdb;")));
    EXPECT_FALSE(db.mCommand);
    EXPECT_EQ(db.sConnect, main);
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_EQ(db.DatabaseName, u"orvitex");
    EXPECT_TRUE(ui.pointerChanges.empty());
    EXPECT_EQ(db.RunSQLm(u"CREATE TABLE 로컬(n INTEGER)"), -1000);
}

TEST_F(SqliteTest, RunSQLmRunsOverTheLocalConnectionOnly) {
    Connect();
    db.mConnect = ado::Connection::Create(environment);
    db.mConnect->Open(SqliteOdbcString(folder.File("local.db"), false));
    EXPECT_EQ(db.RunSQLm(u"CREATE TABLE 로컬(n INTEGER)"), 1);
    EXPECT_EQ(db.RunSQLm(u"INSERT INTO 없는표 VALUES (1)"), -1000);
    EXPECT_TRUE(db.ErrorDesc.empty());
    EXPECT_EQ(db.RunSQL(u"SELECT * FROM 로컬"), -1000);  // not on the main connection
}

}  // namespace
}  // namespace orvitex::db
