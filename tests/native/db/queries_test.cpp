#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/CloseRecordset.h"
#include "db/QueryFailure.h"
#include "db/Secrets.h"

namespace orvitex::db {
namespace {

using platform::MessageIcon;
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
    const auto counts = [&] {
        const auto own = db.GetRecordSet(u"SELECT COUNT(*) FROM t")->GetFields()[0].Value();
        return std::pair(own.ToInt32(), Seen(u"SELECT COUNT(*) FROM t").ToInt32());
    };
    Connect();
    EXPECT_EQ(db.RunSQL(u"CREATE TABLE t(n INTEGER)"), 1);
    EXPECT_EQ(db.RunSQL(u"INSERT INTO missing VALUES (1)"), -1000);
    EXPECT_TRUE(db.ErrorDesc.empty());
    db.sConnect->Close();
    EXPECT_EQ(db.RunSQL(u"INSERT INTO t VALUES (1)"), 1);  // reconnected first
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (2)", u"INSERT INTO t VALUES (3)"}), 1);
    EXPECT_EQ(counts(), std::pair(3, 3));
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (4)", u"INSERT INTO missing VALUES (5)",
                              u"INSERT INTO t VALUES (6)"}),
              -1000);
    EXPECT_EQ(counts(), std::pair(3, 3));
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (7)", ado::Variant::MakeNull()}), -1000);
    EXPECT_EQ(counts(), std::pair(3, 3));
    EXPECT_EQ(db.RunSQLTrans({u"INSERT INTO t VALUES (8)"}), 1);  // no transaction left behind
    EXPECT_EQ(counts(), std::pair(4, 4));
    EXPECT_TRUE(ui.messages.empty());
}

// The flag is seen through ServerDisConnect, which rolls back only while it is set.
TEST_F(SqliteTest, FnTransactionsCommitAndRollBackWhatTheyBeganAndKeepTheirFlagRight) {
    const auto seen = [&] {
        return Seen(u"SELECT group_concat(n) FROM (SELECT n FROM t ORDER BY n)").ToText();
    };
    Connect();
    Sql(u"CREATE TABLE t(n INTEGER)");
    db.fnCommitTrans();  // none begun: nothing to end
    db.fnRollBackTrans();
    db.fnBeginTrans();
    Sql(u"INSERT INTO t VALUES (1)");
    db.fnCommitTrans();
    EXPECT_EQ(seen(), u"1");
    EXPECT_EQ(db.ServerDisConnect(), 1);
    Connect();
    db.fnBeginTrans();
    Sql(u"INSERT INTO t VALUES (2)");
    db.fnRollBackTrans();
    Sql(u"INSERT INTO t VALUES (3)");  // auto-commit again
    EXPECT_EQ(seen(), u"1,3");
    EXPECT_EQ(db.ServerDisConnect(), 1);
    Connect();
    db.fnBeginTrans();
    Sql(u"INSERT INTO t VALUES (4)");
    db.fnBeginTrans();  // rolls the open one back first
    Sql(u"INSERT INTO t VALUES (5)");
    db.fnCommitTrans();
    EXPECT_EQ(seen(), u"1,3,5");
    db.fnBeginTrans();
    Sql(u"INSERT INTO t VALUES (6)");
    EXPECT_EQ(db.ServerDisConnect(), 1);  // rolls back what is open
    EXPECT_EQ(seen(), u"1,3,5");
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
    std::int32_t count = -7;
    EXPECT_TRUE(db.fnExecute(u"UPDATE t SET a = a + 10 WHERE a <= 2", count, u""));
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(db.fnExecute(u"DELETE FROM t WHERE a > 100", count, u""));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(db.fnExecute(u"UPDATE missing SET n = 1", count, u""));
    EXPECT_TRUE(db.ErrorDesc.empty());
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace orvitex::db
