#include <gtest/gtest.h>

#include "FakeFileSystem.h"
#include "FakeUi.h"
#include "db/gSQL.h"
#include "install/AddressSpace.h"
#include "install/PackageFile.h"
#include "install/SharedDatabase.h"
#include "platform/Text.h"
#include "support/PostgresServer.h"

namespace orvitex::install {
namespace {

using testing::PostgresServer;

// 512 MiB for 32-bit runs only; at the boundary (the limit fetched, one byte more
// refused) over SQLite and PostgreSQL, whose length functions differ from SQL
// Server's. Bugs caught: a refusal after the fetch (its query in gSQL), an off-by-one,
// a 64-bit run limited, a length function a server lacks that shows a message.
TEST(AddressSpace, AProgramOverTheLimitIsRefusedBeforeItIsFetched) {
    EXPECT_EQ(LargestStoredProgram(4), std::int64_t{536870912});
    EXPECT_EQ(LargestStoredProgram(8), std::nullopt);
    auto& server = PostgresServer::Shared();
    std::vector<std::pair<std::u16string, bool>> centrals = {
        {u"Driver={SQLite3};Database=:memory:", false}};
    if (server.Running())
        centrals.emplace_back(server.ConnectionString(server.CreateDatabase()), true);
    const SetupPackage& package = kSetupPackages[1];
    for (const auto& [central, postgres] : centrals) {
        SCOPED_TRACE(ToUtf8(central));
        std::shared_ptr<db::clsDBMng> instance;
        testing::FakeUi ui;
        testing::FakeFileSystem files;
        SharedDatabase database(instance, ado::ProviderDrivers{.sqlServerReplacement = central}, ui,
                                files);
        ASSERT_EQ(database.ConnectServerDB(u"127.0.0.1", u"sa", u"", u"orvitex"), 1);
        const std::u16string blob = postgres ? u"bytea" : u"BLOB";
        const std::u16string bytes = postgres ? u"decode('4D5A010203', 'hex')" : u"X'4D5A010203'";
        for (const std::u16string& statement :
             {u"CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 " + blob + u")",
              u"INSERT INTO tb_도르네AS VALUES('" + std::u16string(package.key) + u"', " + bytes +
                  u")"}) {
            ASSERT_EQ(database.Instance().RunSQL(statement), 1) << ToUtf8(statement);
        }
        EXPECT_EQ(StoredProgramLength(database.Instance(), package), 5);
        EXPECT_EQ(ReadStoredProgram(database.Instance(), package, 5).bytes->size(), 5u);
        db::gSQL = u"before";
        try {
            (void)ReadStoredProgram(database.Instance(), package, 4);
            ADD_FAILURE() << "not refused";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(FromUtf8(e.what()), TooLargeMessage(package, 5, 4));
        }
        EXPECT_EQ(db::gSQL, u"before");
        EXPECT_TRUE(ui.messages.empty());
    }
}

}  // namespace
}  // namespace orvitex::install
