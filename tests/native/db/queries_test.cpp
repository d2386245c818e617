#include <gtest/gtest.h>

#include <algorithm>
#include <new>

#include "SqliteFixture.h"
#include "db/CloseRecordset.h"
#include "db/QueryFailure.h"
#include "db/Secrets.h"
#include "db/gSQL.h"

namespace orvitex::db {
namespace {

using platform::MessageIcon;
using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::ShownMessage;
using testing::SqliteTest;

const std::u16string kLost(kConnectionLostMessage);

TEST(QueryFailure, LostLinksReconnectClosedObjectsAndSilenceDoNotOthersShowTheirText) {
    const struct {
        const char* name;
        std::int32_t number;
        std::u16string description;
        bool reconnect, lostMessage;  // else the description is shown without an icon
    } cases[] = {
        {"E_FAIL", ado::kEFail, u"[unixODBC]server closed the connection", true, true},
        {"E_FAIL without text", ado::kEFail, u"", true, true},
        {"연결을 in the text", ado::kProviderError, u"서버와의 연결을 잃었습니다", true, true},
        {"연결을 at the very start", 3704, u"연결을", true, true},
        {"object closed", ado::adErrObjectClosed, u"Operation is not allowed", false, true},
        {"empty description", ado::kProviderError, u"", false, true},
        {"연결 without 을", ado::kProviderError, u"연결 오류", false, false},
        {"rejected statement", ado::kProviderError, u"no such table: x", false, false},
        {"E_FAIL's neighbour", ado::kEFail + 1, u"other", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto response = RespondToQueryFailure(c.number, c.description);
        EXPECT_EQ(response.reconnect, c.reconnect);
        EXPECT_EQ(ToUtf8(response.message), ToUtf8(c.lostMessage ? kLost : c.description));
        EXPECT_EQ(response.icon, c.lostMessage ? MessageIcon::Critical : MessageIcon::None);
    }
}

TEST_F(SqliteTest, GetRecordSetReportsAMissingConnectionAndSilentlyReopensALostOne) {
    const auto unconnected = db.GetRecordSet(u"SELECT 1");
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{{kLost, MessageIcon::Critical}}));
    EXPECT_TRUE(!unconnected || unconnected->State() == ado::adStateClosed);
    EXPECT_FALSE(db.IsServerConnect());
    ui.messages.clear();

    Connect();
    const auto none = db.GetRecordSet(u"SELECT 1 WHERE 1 = 0");
    EXPECT_EQ(none->State(), ado::adStateOpen);
    EXPECT_TRUE(none->Eof());
    db.sConnect->Close();  // the disconnect notification marks it lost
    EXPECT_EQ(db.GetRecordSet(u"SELECT 7")->GetFields().Item(0).Value().ToInt32(), 7);
    EXPECT_TRUE(db.IsServerConnect());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SqliteTest, CloseRecordsetClosesAndDropsWhateverItIsGiven) {
    Connect();
    std::shared_ptr<ado::Recordset> none;
    auto neverOpened = ado::Recordset::Create();
    auto open = db.GetRecordSet(u"SELECT 1");
    const auto observer = open;
    for (auto* recordset : {&none, &neverOpened, &open}) {
        CloseRecordset(*recordset);
        EXPECT_FALSE(*recordset);
    }
    EXPECT_EQ(observer->State(), ado::adStateClosed);
    auto closedTwice = observer;
    CloseRecordset(closedTwice);
    EXPECT_FALSE(closedTwice);
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

TEST_F(SqliteTest, RunSQLReportsOnlyByItsResultAndRunSQLTransCommitsAllOrNothing) {
    Connect();
    EXPECT_EQ(db.RunSQL(u"CREATE TABLE t(n INTEGER)"), 1);
    EXPECT_EQ(db.RunSQL(u"INSERT INTO missing VALUES (1)"), -1000);
    EXPECT_TRUE(db.ErrorDesc.empty());
    db.sConnect->Close();
    EXPECT_EQ(db.RunSQL(u"INSERT INTO t VALUES (1)"), 1);  // reconnected first
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (2)", u"INSERT INTO t VALUES (3)"}), 1);
    EXPECT_EQ(Count(u"t"), 3);
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (4)", u"INSERT INTO missing VALUES (5)",
                              u"INSERT INTO t VALUES (6)"}),
              -1000);
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (7)", ado::Variant::MakeNull()}), -1000);
    EXPECT_EQ(Count(u"t"), 3);
    EXPECT_TRUE(ui.messages.empty());
}

// A connection that journals the calls the class makes and refuses those named in
// `failing`, to check call sequences no real server shows on demand.
class ScriptedConnection : public ado::Connection {
public:
    void SetEvents(ado::ConnectionEvents*) override {}
    std::int32_t CursorLocation() const override { return ado::adUseServer; }
    void SetCursorLocation(std::int32_t) override {}
    std::u16string ConnectionString() const override { return {}; }
    void SetConnectionString(std::u16string_view) override {}
    std::int32_t ConnectionTimeout() const override { return 15; }
    void SetConnectionTimeout(std::int32_t) override {}
    std::int32_t CommandTimeout() const override { return 30; }
    void SetCommandTimeout(std::int32_t) override {}
    std::int32_t State() const override { return open ? ado::adStateOpen : ado::adStateClosed; }
    void Open(std::u16string_view, std::u16string_view, std::u16string_view,
              std::int32_t) override {}
    void Close() override {
        Call(u"Close");
        open = false;
    }
    std::shared_ptr<ado::Recordset> Execute(std::u16string_view text, std::int32_t*,
                                            std::int32_t) override {
        Call(u"Execute " + std::u16string(text));
        return nullptr;
    }
    std::int32_t BeginTrans() override {
        Call(u"BeginTrans");
        return 1;
    }
    void CommitTrans() override { Call(u"CommitTrans"); }
    void RollbackTrans() override { Call(u"RollbackTrans"); }
    void* NativeHandle() const override { return nullptr; }
    [[noreturn]] void ThrowOdbcError(std::int16_t, void*, std::u16string_view) override {
        Refuse();
    }

    std::vector<std::u16string> calls;
    std::vector<std::u16string> failing;
    bool open = true;
    bool outOfMemory = false;  // refusals throw std::bad_alloc instead

private:
    void Call(const std::u16string& call) {
        calls.push_back(call);
        if (std::ranges::find(failing, call) != failing.end())
            Refuse();
    }
    [[noreturn]] void Refuse() const {
        if (outOfMemory)
            throw std::bad_alloc();
        throw ado::Error(ado::kProviderError, u"scripted", u"refused");
    }
};

class ScriptedCalls : public ::testing::Test {
protected:
    void SetUp() override { db.sConnect = scripted; }
    using Calls = std::vector<std::u16string>;
    FakeUi ui;
    MemoryFileSystem files;
    clsDBMng db{ado::Environment::Create(), ui, files};
    std::shared_ptr<ScriptedConnection> scripted = std::make_shared<ScriptedConnection>();
};

TEST_F(ScriptedCalls, RunSQLTransRollsBackOnlyWhatItBegan) {
    scripted->failing = {u"CommitTrans"};
    EXPECT_EQ(db.RunSQLTrans({u"one"}), -1000);
    EXPECT_EQ(scripted->calls.back(), u"RollbackTrans");
    scripted->calls.clear();
    db.fnBeginTrans();  // the caller's own transaction must survive
    scripted->failing = {u"BeginTrans"};
    EXPECT_EQ(db.RunSQLTrans({u"one"}), -1000);
    EXPECT_EQ(scripted->calls, (Calls{u"BeginTrans", u"BeginTrans"}));
    scripted->failing = {u"Execute one", u"RollbackTrans"};
    EXPECT_THROW(static_cast<void>(db.RunSQLTrans({u"one"})), ado::Error);
}

TEST_F(ScriptedCalls, RunningOutOfMemoryIsTrappedLikeAnyFailure) {
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

TEST_F(ScriptedCalls, TransactionMethodsFollowThePendingFlagEvenWhenACallFails) {
    db.fnCommitTrans();
    db.fnRollBackTrans();
    EXPECT_TRUE(scripted->calls.empty());
    db.fnBeginTrans();
    db.fnBeginTrans();  // undoes the first
    db.fnCommitTrans();
    db.fnCommitTrans();
    EXPECT_EQ(scripted->calls,
              (Calls{u"BeginTrans", u"RollbackTrans", u"BeginTrans", u"CommitTrans"}));
    scripted->calls.clear();
    db.fnBeginTrans();
    scripted->failing = {u"CommitTrans"};
    db.fnCommitTrans();
    scripted->failing.clear();
    db.fnRollBackTrans();  // still pending, so this one reaches the connection
    EXPECT_EQ(scripted->calls, (Calls{u"BeginTrans", u"CommitTrans", u"RollbackTrans"}));
}

TEST_F(ScriptedCalls, ServerDisConnectRollsBackBeforeClosingAndKeepsTheLinkIfThatFails) {
    db.fnBeginTrans();
    scripted->failing = {u"RollbackTrans"};
    EXPECT_EQ(db.ServerDisConnect(), 0);
    EXPECT_EQ(db.sConnect, scripted);
    EXPECT_TRUE(scripted->open);
    scripted->failing.clear();
    EXPECT_EQ(db.ServerDisConnect(), 1);
    EXPECT_EQ(scripted->calls,
              (Calls{u"BeginTrans", u"RollbackTrans", u"RollbackTrans", u"Close"}));
}

TEST_F(SqliteTest, FnGetRowsGivesFieldByRowArraysAndFnExecuteCountsTheRowsItTouched) {
    Connect();
    Sql(u"CREATE TABLE t(a INTEGER, b TEXT)");
    RowsOrValue rows = ado::Variant(u"untouched");
    ASSERT_TRUE(db.fnGetRows(u"SELECT a, b FROM t", rows));
    EXPECT_EQ(std::get<ado::Variant>(rows), ado::Variant(u""));

    Sql(u"INSERT INTO t VALUES (1, '가'), (2, '나'), (3, NULL)");
    ASSERT_TRUE(db.fnGetRows(u"SELECT a, b FROM t ORDER BY a", rows));
    const auto& array = std::get<ado::RowArray>(rows);
    ASSERT_EQ(array.size(), 2u);
    ASSERT_EQ(array[1].size(), 3u);
    EXPECT_EQ(array[0][2].ToInt32(), 3);
    EXPECT_EQ(array[1][1], ado::Variant(u"나"));
    EXPECT_TRUE(array[1][2].IsNull());

    EXPECT_FALSE(db.fnGetRows(u"SELECT * FROM missing", rows));
    EXPECT_TRUE(std::holds_alternative<ado::RowArray>(rows));  // kept as it was
    EXPECT_FALSE(db.sRecordset);

    const std::u16string errDesc = u"caller's text";
    std::int32_t count = -7;
    EXPECT_TRUE(db.fnExecute(u"UPDATE t SET a = a + 10 WHERE a <= 2", count, errDesc));
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(db.fnExecute(u"DELETE FROM t WHERE a > 100", count, errDesc));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(db.fnExecute(u"UPDATE missing SET n = 1", count, errDesc));
    EXPECT_EQ(errDesc, u"caller's text");
    EXPECT_TRUE(db.ErrorDesc.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SqliteTest, TheDateMethodsReadTheServerClockOrAnswerEmpty) {
    Connect();  // the SQLite file answers GETDATE() and CONVERT(..., 121) through its extension
    EXPECT_EQ(db.GetSystemDate().ToText().substr(0, 19), u"2018-01-23 14:05:09");
    EXPECT_EQ(gSQL, u"SELECT GETDATE()");
    EXPECT_EQ(db.GetSystemDateStr(), u"20180123140509123");
    EXPECT_EQ(gSQL, u"select convert(varchar(30), getdate(),121)");
    EXPECT_TRUE(ui.messages.empty());

    clsDBMng plain(MakeEnvironment(false), ui, files);
    Connect(plain);  // plain SQLite has no GETDATE()
    EXPECT_TRUE(plain.GetSystemDate().IsEmpty());
    EXPECT_EQ(plain.GetSystemDateStr(), u"");
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].icon, MessageIcon::None);
    EXPECT_NE(ui.messages[0].text.find(u"GETDATE"), std::u16string::npos);
}

}  // namespace
}  // namespace orvitex::db
