#include <gtest/gtest.h>

#include <memory>

#include "Fakes.h"
#include "db/QueryFailure.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"
#include "platform/Text.h"
#include "support/PostgresServer.h"

namespace orvitex::db {
namespace {

using orvitex::testing::PostgresServer;
using platform::MessageIcon;
using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::ShownMessage;

// The shared server, with a database of the suite's own whose clock answers
// GETDATE() the way SQL Server's does.
class Postgres : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto& server = PostgresServer::Shared();
        if (!server.Running())
            return;
        ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement = server.ConnectionString(server.CreateDatabase());
        environment_ = ado::Environment::Create(drivers);
        FakeUi ui;
        MemoryFileSystem files;
        clsDBMng setup(environment_, ui, files);
        if (setup.ConnectServerDB(u"127.0.0.1", u"postgres", u"", u"postgres") == 1) {
            static_cast<void>(
                setup.RunSQL(u"CREATE FUNCTION getdate() RETURNS timestamp LANGUAGE sql AS "
                             u"$$ SELECT TIMESTAMP '2018-01-23 14:05:09.123' $$"));
        }
    }
    static void TearDownTestSuite() { environment_ = nullptr; }

    void SetUp() override {
        ASSERT_TRUE(server().Running()) << server().Problem();
        ASSERT_TRUE(environment_);
        db = std::make_unique<clsDBMng>(environment_, ui, files);
        ASSERT_EQ(db->ConnectServerDB(u"127.0.0.1", u"postgres", u"", u"postgres"), 1);
    }
    void TearDown() override {
        db.reset();
        if (!server().Running())
            server().Start();
        ASSERT_TRUE(server().Running()) << server().Problem();
    }
    static PostgresServer& server() { return PostgresServer::Shared(); }

    static std::shared_ptr<ado::Environment> environment_;
    FakeUi ui;
    MemoryFileSystem files;
    std::unique_ptr<clsDBMng> db;
};

std::shared_ptr<ado::Environment> Postgres::environment_;

TEST_F(Postgres, ALostServerIsReportedReconnectedAndUsedAgainWhenBack) {
    const auto first = db->GetRecordSet(u"SELECT 1 AS n");
    ASSERT_TRUE(first);
    ASSERT_EQ(first->State(), ado::adStateOpen);
    const auto original = db->sConnect;

    server().Stop();
    const auto lost = db->GetRecordSet(u"SELECT 2 AS n");
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->State(), ado::adStateClosed);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{
                               {std::u16string(kConnectionLostMessage), MessageIcon::Critical}}));
    EXPECT_FALSE(db->ErrorDesc.empty());
    EXPECT_NE(db->sConnect, original);  // the reconnect was attempted
    EXPECT_FALSE(db->IsServerConnect());

    server().Start();
    ASSERT_TRUE(server().Running());
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
    server().Stop();
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

}  // namespace
}  // namespace orvitex::db
