#include <gtest/gtest.h>

#include <memory>

#include "Fakes.h"
#include "db/QueryFailure.h"
#include "db/clsDBMng.h"
#include "support/PostgresServer.h"

namespace orvitex::db {
namespace {

using orvitex::testing::PostgresServer;
using platform::MessageIcon;
using testing::ShownMessage;

// The server really goes away under the class, and comes back.
TEST(Postgres, ALostServerIsReportedReconnectedAndUsedAgainWhenBack) {
    auto& server = PostgresServer::Shared();
    if (!server.Running())
        GTEST_SKIP() << server.Problem();
    ado::ProviderDrivers drivers;
    drivers.sqlServerReplacement = server.ConnectionString(server.CreateDatabase());
    testing::FakeUi ui;
    testing::MemoryFileSystem files;
    clsDBMng db(ado::Environment::Create(drivers), ui, files);
    ASSERT_EQ(db.ConnectServerDB(u"127.0.0.1", u"postgres", u"", u"postgres"), 1);
    ASSERT_EQ(db.GetRecordSet(u"SELECT 1 AS n")->State(), ado::adStateOpen);
    const auto original = db.sConnect;

    server.Stop();
    const auto lost = db.GetRecordSet(u"SELECT 2 AS n");
    server.Start();
    ASSERT_TRUE(server.Running()) << server.Problem();
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->State(), ado::adStateClosed);
    EXPECT_EQ(ui.messages, (std::vector<ShownMessage>{
                               {std::u16string(kConnectionLostMessage), MessageIcon::Critical}}));
    EXPECT_FALSE(db.ErrorDesc.empty());
    EXPECT_NE(db.sConnect, original);  // the reconnect was attempted
    EXPECT_FALSE(db.IsServerConnect());

    ui.messages.clear();
    const auto back = db.GetRecordSet(u"SELECT 3 AS n");
    ASSERT_EQ(back->State(), ado::adStateOpen);
    EXPECT_EQ(back->GetFields().Item(u"n").Value().ToInt32(), 3);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(db.IsServerConnect());
}

}  // namespace
}  // namespace orvitex::db
