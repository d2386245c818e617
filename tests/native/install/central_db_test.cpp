#include "install/CentralDb.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace orvitex::install {
namespace {

// Bugs caught: a missing central database created empty, a path that adds its own
// attributes to the connection string.
TEST(CentralDb, ConnectionStringNeverCreatesTheFileAndRefusesBrokenPaths) {
    EXPECT_EQ(CentralDbConnectionString(u"/tmp/중앙.db"),
              u"Driver={SQLite3};Database=/tmp/중앙.db;NoCreat=1");
    for (const std::u16string path : {u"", u"a;Driver=x", u"{x}", u"a}"}) {
        SCOPED_TRACE(ToUtf8(path));
        EXPECT_FALSE(CentralDbConnectionString(path));
    }
}

}  // namespace
}  // namespace orvitex::install
