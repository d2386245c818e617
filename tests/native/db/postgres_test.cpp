#include <gtest/gtest.h>

#include <memory>

#include "Fakes.h"
#include "Servers.h"
#include "db/QueryFailure.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"
#include "platform/Text.h"

namespace orvitex::db {
namespace {

using platform::MessageIcon;
using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::PostgresServer;
using testing::ShownMessage;

// One server for the suite: starting a cluster takes seconds.
class Postgres : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<PostgresServer>();
        if (server_->Start()) {
            static_cast<void>(
                server_->Psql("CREATE FUNCTION getdate() RETURNS timestamp LANGUAGE sql AS "
                              "$$ SELECT TIMESTAMP '2018-01-23 14:05:09.123' $$"));
        }
    }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(server_->Running()) << "PostgreSQL did not start";
        ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement = server_->OdbcString();
        db = std::make_unique<clsDBMng>(ado::Environment::Create(drivers), ui, files);
        ASSERT_EQ(db->ConnectServerDB(u"127.0.0.1", u"postgres", u"", u"postgres"), 1);
    }
    void TearDown() override {
        db.reset();
        if (!server_->Running()) {
            ASSERT_TRUE(server_->Start());
        }
    }

    static std::unique_ptr<PostgresServer> server_;
    FakeUi ui;
    MemoryFileSystem files;
    std::unique_ptr<clsDBMng> db;
};

std::unique_ptr<PostgresServer> Postgres::server_;

TEST_F(Postgres, ALostServerIsReportedReconnectedAndUsedAgainWhenBack) {
    const auto first = db->GetRecordSet(u"SELECT 1 AS n");
    ASSERT_TRUE(first);
    ASSERT_EQ(first->State(), ado::adStateOpen);
    const auto original = db->sConnect;

    server_->Stop();
    const auto lost = db->GetRecordSet(u"SELECT 2 AS n");
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->State(), ado::adStateClosed);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{
                               {std::u16string(kConnectionLostMessage), MessageIcon::Critical}}));
    EXPECT_NE(db->sConnect, original);  // the reconnect was attempted
    EXPECT_FALSE(db->IsServerConnect());
    EXPECT_FALSE(db->ErrorDesc.empty());

    ASSERT_TRUE(server_->Start());
    ui.messages.clear();
    const auto back = db->GetRecordSet(u"SELECT 3 AS n");
    ASSERT_TRUE(back);
    ASSERT_EQ(back->State(), ado::adStateOpen);
    EXPECT_EQ(back->GetFields().Item(u"n").Value().ToInt32(), 3);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(db->IsServerConnect());
    EXPECT_NE(db->sConnect, original);
}

TEST_F(Postgres, ALostLinkMarksTheConnectionLostThoughItIsStillHeld) {
    server_->Stop();
    EXPECT_EQ(db->RunSQL(u"SELECT 1"), -1000);
    ASSERT_TRUE(db->sConnect);
    EXPECT_FALSE(db->IsServerConnect());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Postgres, GetSystemDateReturnsTheServerClockAsADate) {
    const auto now = db->GetSystemDate();
    EXPECT_EQ(gSQL, u"SELECT GETDATE()");
    ASSERT_EQ(now.GetKind(), ado::Variant::Kind::Date) << ToUtf8(now.ToText());
    EXPECT_EQ(now.ToDateTime(), (ado::DateTime{2018, 1, 23, 14, 5, 9, 123}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Postgres, RunSQLTransUndoesTheFirstStatementWhenTheSecondFails) {
    ASSERT_EQ(db->RunSQL(u"CREATE TABLE IF NOT EXISTS trans_t(n INTEGER)"), 1);
    ASSERT_EQ(db->RunSQL(u"DELETE FROM trans_t"), 1);
    EXPECT_EQ(
        db->RunSQLTrans({u"INSERT INTO trans_t VALUES (1)", u"INSERT INTO trans_missing VALUES (2)",
                         u"INSERT INTO trans_t VALUES (3)"}),
        -1000);
    RowsOrValue rows;
    ASSERT_TRUE(db->fnGetRows(u"SELECT n FROM trans_t", rows));
    EXPECT_EQ(std::get<ado::Variant>(rows), ado::Variant(u""));
    EXPECT_EQ(
        db->RunSQLTrans({u"INSERT INTO trans_t VALUES (1)", u"INSERT INTO trans_t VALUES (3)"}), 1);
    ASSERT_TRUE(db->fnGetRows(u"SELECT n FROM trans_t ORDER BY n", rows));
    ASSERT_TRUE(std::holds_alternative<ado::RowArray>(rows));
    EXPECT_EQ(std::get<ado::RowArray>(rows)[0].size(), 2u);
}

}  // namespace
}  // namespace orvitex::db
