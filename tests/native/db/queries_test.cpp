#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/QueryFailure.h"
#include "db/Secrets.h"
#include "db/gSQL.h"

namespace orvitex::db {
namespace {

using platform::MessageIcon;
using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::ScriptedConnection;
using testing::ShownMessage;
using testing::SqliteTest;

const std::u16string kLost(kConnectionLostMessage);

TEST(QueryFailure, LostLinksReconnectClosedObjectsAndSilenceDoNotOthersShowTheirText) {
    struct Case {
        const char* name;
        std::int32_t number;
        std::u16string description;
        QueryFailureResponse expected;
    };
    const Case cases[] = {
        {"E_FAIL",
         ado::kEFail,
         u"[unixODBC]server closed the connection",
         {true, kLost, MessageIcon::Critical}},
        {"E_FAIL without text", ado::kEFail, u"", {true, kLost, MessageIcon::Critical}},
        {"연결을 in the text",
         ado::kProviderError,
         u"서버와의 연결을 잃었습니다",
         {true, kLost, MessageIcon::Critical}},
        {"연결을 at the very start", 3704, u"연결을", {true, kLost, MessageIcon::Critical}},
        {"object closed",
         ado::adErrObjectClosed,
         u"Operation is not allowed when closed",
         {false, kLost, MessageIcon::Critical}},
        {"empty description", ado::kProviderError, u"", {false, kLost, MessageIcon::Critical}},
        {"연결 without 을",
         ado::kProviderError,
         u"연결 오류",
         {false, u"연결 오류", MessageIcon::None}},
        {"rejected statement",
         ado::kProviderError,
         u"no such table: x",
         {false, u"no such table: x", MessageIcon::None}},
        {"E_FAIL's neighbour", ado::kEFail + 1, u"other", {false, u"other", MessageIcon::None}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto response = RespondToQueryFailure(c.number, c.description);
        EXPECT_EQ(response.reconnect, c.expected.reconnect);
        EXPECT_EQ(ToUtf8(response.message), ToUtf8(c.expected.message));
        EXPECT_EQ(response.icon, c.expected.icon);
    }
}

TEST_F(SqliteTest, GetRecordSetHandsOutAnOpenClientSideRecordset) {
    Connect();
    Sql(u"CREATE TABLE tb_orvi서버정보(요양기관기호 TEXT, 서버명 TEXT)");
    Sql(u"INSERT INTO tb_orvi서버정보 VALUES ('12345678', '오르비서버')");
    gSQL = u"SELECT 서버명 FROM tb_orvi서버정보 WHERE 요양기관기호 = '12345678'";
    const auto found = db.GetRecordSet(gSQL, 0, 1, 3);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->State(), ado::adStateOpen);
    EXPECT_EQ(found->RecordCount(), 1);
    EXPECT_EQ(found->GetFields().Item(u"서버명").Value(), ado::Variant(u"오르비서버"));

    const auto none = db.GetRecordSet(u"SELECT * FROM tb_orvi서버정보 WHERE 1 = 0");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->State(), ado::adStateOpen);
    EXPECT_TRUE(none->Eof());
    EXPECT_EQ(none->RecordCount(), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(db.ErrorDesc.empty());
}

TEST_F(SqliteTest, ARejectedStatementShowsItsOwnTextAndReturnsAnUnopenedRecordset) {
    Connect();
    const auto connection = db.sConnect;
    const auto result = db.GetRecordSet(u"SELECT * FROM no_such_table");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->State(), ado::adStateClosed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
    EXPECT_NE(ui.messages[0].text.find(u"no_such_table"), std::u16string::npos);
    EXPECT_EQ(db.ErrorDesc, ui.messages[0].text);
    EXPECT_EQ(db.sConnect, connection);  // no reconnect
}

TEST_F(SqliteTest, AQueryWithoutAnyConnectionReportsTheLinkWithoutAReconnect) {
    const auto result = db.GetRecordSet(u"SELECT 1");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], (ShownMessage{kLost, MessageIcon::Critical}));
    if (result) {
        EXPECT_EQ(result->State(), ado::adStateClosed);
    }
    EXPECT_FALSE(db.IsServerConnect());
}

TEST_F(SqliteTest, AConnectionKnownLostIsReopenedBeforeTheQuerySilently) {
    Connect();
    db.sConnect->Close();  // the disconnect notification marks it lost
    const auto result = db.GetRecordSet(u"SELECT 7");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->State(), ado::adStateOpen);
    EXPECT_EQ(result->GetFields().Item(0).Value().ToInt32(), 7);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(db.IsServerConnect());
}

// A password masked wherever it occurred turned "-2147217900" into "-2***47217900".
TEST_F(SqliteTest, ErrorTextsKeepEveryCharacterOfTheDriversWordsWhateverThePassword) {
    for (const char16_t* password : {u"1", u"a", u"{x;y}"}) {
        SCOPED_TRACE(ToUtf8(password));
        ASSERT_EQ(db.ConnectServerDB(u"127.0.0.1", u"sa", password, u"orvitex"), 1);
        ASSERT_EQ(db.CommandAppendPara(u"n", std::int32_t{1}, 1), 0);
        EXPECT_EQ(db.CommandExcute(u"INSERT INTO a1 VALUES (?)"), -1000);
        EXPECT_EQ(ToUtf8(db.ErrorDesc).rfind("[clsDBMng/CommandExcute] -2147217900-", 0), 0u)
            << ToUtf8(db.ErrorDesc);
        EXPECT_NE(db.ErrorDesc.find(u"no such table: a1"), std::u16string::npos)
            << ToUtf8(db.ErrorDesc);
    }
}

TEST(Secrets, OnlyPasswordValuesAndQuotedConnectionStringsAreMasked) {
    const std::u16string connection = u"Provider       ='SQLOLEDB';  Password       ='1'     ";
    const struct {
        const char* name;
        std::u16string text, expected;
    } cases[] = {
        {"error number and words stay", u"-2147217900-ADODB.Command/table a1",
         u"-2147217900-ADODB.Command/table a1"},
        {"a quoted connection string", u"open " + connection + u"failed", u"open ***failed"},
        {"OLE DB key with spaces and apostrophes", u"Password       ='a'     ;x",
         u"Password       =***     ;x"},
        {"apostrophe inside the value", u"Password='p'w';User Id='sa'",
         u"Password=***;User Id='sa'"},
        {"ODBC key in braces with ; and }}", u"DRIVER={SQL Server};PWD={x;}}y};UID=sa",
         u"DRIVER={SQL Server};PWD=***;UID=sa"},
        {"bare value to the end", u"uid=sa;pwd=a", u"uid=sa;pwd=***"},
        {"empty value", u"PWD=;UID=sa", u"PWD=***;UID=sa"},
        {"a word, not a key", u"Password mismatch; OldPwd=a", u"Password mismatch; OldPwd=a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToUtf8(MaskSecrets(c.text, {connection, u""})), ToUtf8(c.expected));
    }
}

TEST_F(SqliteTest, RunSQLReportsOnlyByItsResult) {
    Connect();
    EXPECT_EQ(db.RunSQL(u"CREATE TABLE t(n INTEGER)"), 1);
    EXPECT_EQ(db.RunSQL(u"INSERT INTO t VALUES (1)"), 1);
    EXPECT_EQ(db.RunSQL(u"INSERT INTO missing VALUES (1)"), -1000);
    EXPECT_TRUE(db.ErrorDesc.empty());
    EXPECT_TRUE(ui.messages.empty());
    db.sConnect->Close();
    EXPECT_EQ(db.RunSQL(u"INSERT INTO t VALUES (2)"), 1);  // reconnected first
    EXPECT_EQ(Count(u"t"), 2);
}

TEST_F(SqliteTest, RunSQLTransCommitsAllOrUndoesAll) {
    Connect();
    Sql(u"CREATE TABLE t(n INTEGER)");
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (1)", u"INSERT INTO t VALUES (2)"}), 1);
    EXPECT_EQ(Count(u"t"), 2);
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (3)", u"INSERT INTO missing VALUES (4)",
                              u"INSERT INTO t VALUES (5)"}),
              -1000);
    EXPECT_EQ(Count(u"t"), 2);
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (6)", ado::Variant::MakeNull()}), -1000);
    EXPECT_EQ(Count(u"t"), 2);
}

class RunSQLTransCalls : public ::testing::Test {
protected:
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db{ado::Environment::Create(), ui, files};
    std::shared_ptr<ScriptedConnection> scripted = std::make_shared<ScriptedConnection>();
    void SetUp() override { db.sConnect = scripted; }
};

TEST_F(RunSQLTransCalls, AFailedCommitIsRolledBack) {
    scripted->failing = {u"CommitTrans"};
    EXPECT_EQ(db.RunSQLTrans({u"one"}), -1000);
    EXPECT_EQ(scripted->calls.back(), u"RollbackTrans");
}

TEST_F(RunSQLTransCalls, NothingIsRolledBackWhenNoTransactionWasBegun) {
    db.fnBeginTrans();  // the caller's own transaction must survive
    scripted->failing = {u"BeginTrans"};
    EXPECT_EQ(db.RunSQLTrans({u"one"}), -1000);
    EXPECT_EQ(scripted->calls, (std::vector<std::u16string>{u"BeginTrans", u"BeginTrans"}));
}

TEST_F(RunSQLTransCalls, AFailingRollbackReachesTheCaller) {
    scripted->failing = {u"Execute one", u"RollbackTrans"};
    EXPECT_THROW(static_cast<void>(db.RunSQLTrans({u"one"})), ado::Error);
}

TEST_F(RunSQLTransCalls, RunningOutOfMemoryIsTrappedLikeAnyFailure) {
    scripted->outOfMemory = true;
    scripted->failing = {u"Execute x", u"BeginTrans"};
    db.sCommand = ado::Command::Create();
    db.sCommand->SetActiveConnection(scripted);
    std::int32_t count = 0;
    EXPECT_FALSE(db.fnExecute(u"x", count, u""));
    EXPECT_EQ(db.RunSQLTrans({u"x"}), -1000);
    EXPECT_EQ(db.CommandExcute(u"x"), -1000);
    EXPECT_EQ(ToUtf8(db.ErrorDesc), "[clsDBMng/CommandExcute] 7-clsDBMng/Out of memory#x");
}

TEST_F(RunSQLTransCalls, TransactionMethodsFollowThePendingFlag) {
    db.fnCommitTrans();
    db.fnRollBackTrans();
    EXPECT_TRUE(scripted->calls.empty());
    db.fnBeginTrans();
    db.fnBeginTrans();
    db.fnCommitTrans();
    db.fnCommitTrans();
    EXPECT_EQ(scripted->calls, (std::vector<std::u16string>{u"BeginTrans", u"RollbackTrans",
                                                            u"BeginTrans", u"CommitTrans"}));
}

TEST_F(RunSQLTransCalls, AFailedTransactionCallLeavesThePendingFlag) {
    db.fnBeginTrans();
    scripted->failing = {u"CommitTrans"};
    db.fnCommitTrans();
    scripted->failing.clear();
    db.fnRollBackTrans();  // still pending, so this one reaches the connection
    EXPECT_EQ(scripted->calls,
              (std::vector<std::u16string>{u"BeginTrans", u"CommitTrans", u"RollbackTrans"}));
}

TEST_F(SqliteTest, FnBeginTransTwiceUndoesTheFirstTransaction) {
    Connect();
    Sql(u"CREATE TABLE t(n INTEGER)");
    db.fnBeginTrans();
    Sql(u"INSERT INTO t VALUES (1)");
    db.fnBeginTrans();
    Sql(u"INSERT INTO t VALUES (2)");
    db.fnCommitTrans();
    EXPECT_EQ(Count(u"t"), 1);
    EXPECT_EQ(Required(db.sConnect).Execute(u"SELECT n FROM t")->GetFields().Item(0).Value(),
              ado::Variant(std::int32_t{2}));
}

TEST_F(SqliteTest, FnGetRowsGivesFieldByRowArraysOrEmptyText) {
    Connect();
    Sql(u"CREATE TABLE t(a INTEGER, b TEXT)");
    RowsOrValue rows = ado::Variant(u"untouched");

    ASSERT_TRUE(db.fnGetRows(u"SELECT a, b FROM t", rows));
    ASSERT_TRUE(std::holds_alternative<ado::Variant>(rows));
    EXPECT_EQ(std::get<ado::Variant>(rows), ado::Variant(u""));
    EXPECT_FALSE(db.sRecordset);

    Sql(u"INSERT INTO t VALUES (1, '가'), (2, '나'), (3, NULL)");
    ASSERT_TRUE(db.fnGetRows(u"SELECT a, b FROM t ORDER BY a", rows));
    ASSERT_TRUE(std::holds_alternative<ado::RowArray>(rows));
    const auto& array = std::get<ado::RowArray>(rows);
    ASSERT_EQ(array.size(), 2u);
    ASSERT_EQ(array[0].size(), 3u);
    ASSERT_EQ(array[1].size(), 3u);
    EXPECT_EQ(array[0][2].ToInt32(), 3);
    EXPECT_EQ(array[1][1], ado::Variant(u"나"));
    EXPECT_TRUE(array[1][2].IsNull());

    EXPECT_FALSE(db.fnGetRows(u"SELECT * FROM missing", rows));
    EXPECT_TRUE(std::holds_alternative<ado::RowArray>(rows));  // kept as it was
    EXPECT_FALSE(db.sRecordset);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SqliteTest, FnExecuteCountsTheRowsItTouched) {
    Connect();
    Sql(u"CREATE TABLE t(n INTEGER)");
    Sql(u"INSERT INTO t VALUES (1), (2), (3), (4), (5), (6)");
    const std::u16string errDesc = u"caller's text";
    std::int32_t count = -7;
    EXPECT_TRUE(db.fnExecute(u"UPDATE t SET n = n + 10 WHERE n <= 5", count, errDesc));
    EXPECT_EQ(count, 5);
    EXPECT_FALSE(db.fnExecute(u"UPDATE missing SET n = 1", count, errDesc));
    EXPECT_EQ(errDesc, u"caller's text");
    EXPECT_TRUE(db.ErrorDesc.empty());
}

TEST_F(SqliteTest, TheDateMethodsReadTheServerClock) {
    Connect();  // the SQLite file answers GETDATE() and CONVERT(..., 121) through its extension
    const auto date = db.GetSystemDate();
    EXPECT_EQ(gSQL, u"SELECT GETDATE()");
    EXPECT_EQ(date.ToText().substr(0, 19), u"2018-01-23 14:05:09");
    EXPECT_EQ(db.GetSystemDateStr(), u"20180123140509123");
    EXPECT_EQ(gSQL, u"select convert(varchar(30), getdate(),121)");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SqliteTest, TheDateMethodsAnswerEmptyWhenTheServerCannot) {
    clsDBMng plain(MakeEnvironment(false), ui, files);
    Connect(plain);  // plain SQLite has no GETDATE()
    EXPECT_TRUE(plain.GetSystemDate().IsEmpty());
    EXPECT_EQ(plain.GetSystemDateStr(), u"");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::None);
    EXPECT_NE(ui.messages[0].text.find(u"GETDATE"), std::u16string::npos);
}

}  // namespace
}  // namespace orvitex::db
