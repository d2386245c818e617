#include <gtest/gtest.h>

#include "SqliteFixture.h"
#include "db/CloseRecordset.h"

namespace orvitex::db {
namespace {

using testing::SqliteTest;

TEST_F(SqliteTest, CloseRecordsetClosesAndDropsWhateverItIsGiven) {
    Connect();
    std::shared_ptr<ado::Recordset> none;
    CloseRecordset(none);
    EXPECT_FALSE(none);

    auto neverOpened = ado::Recordset::Create();
    CloseRecordset(neverOpened);
    EXPECT_FALSE(neverOpened);

    auto open = db.GetRecordSet(u"SELECT 1");
    ASSERT_TRUE(open);
    const auto observer = open;
    CloseRecordset(open);
    EXPECT_FALSE(open);
    EXPECT_EQ(observer->State(), ado::adStateClosed);

    auto closedTwice = observer;
    CloseRecordset(closedTwice);
    EXPECT_FALSE(closedTwice);
}

}  // namespace
}  // namespace orvitex::db
