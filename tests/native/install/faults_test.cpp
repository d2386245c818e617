#include <gtest/gtest.h>

#include "RunWorld.h"
#include "support/PostgresServer.h"

namespace orvitex::install {
namespace {

using testing::PostgresServer;

// Bugs caught: a lost server read as an empty or Null program (the run going on,
// or a truncated file left under the package's name), a loss not told, a run that
// cannot complete once the server is back.
TEST(CentralLoss, ServerStoppedAtAWizardFailsTheNextFetchAndARunAfterItsReturnCompletes) {
    auto& server = PostgresServer::Shared();
    if (!server.Running()) {
        GTEST_SKIP() << server.Problem();
    }
    RunWorld w(server.ConnectionString(server.CreateDatabase()));
    w.onProgress = [&server](std::int32_t done) {  // package 2 fetched and clicked
        if (done == 2) {
            server.Stop();
        }
    };
    const std::string failure = w.Failure();
    server.Start();
    ASSERT_TRUE(server.Running()) << server.Problem();
    EXPECT_EQ(failure.rfind("package 3 (uOrvitex2.exe), fetching the file: ", 0), 0u) << failure;
    ASSERT_EQ(w.ui.messages.size(), 1u);
    EXPECT_EQ(w.ui.messages[0].text, u"인터넷 또는 서버연결이 끊겼습니다");
    // The failure, then the picture of the screen it left.
    ASSERT_GE(w.logged.size(), 2u);
    EXPECT_TRUE(w.logged[w.logged.size() - 2].ends_with(u"; exit code 5"));
    EXPECT_TRUE(w.logged.back().starts_with(u"screen picture (failed: package 3 (uOrvitex2.exe)"));
    for (const auto& p : kSetupPackages) {
        SCOPED_TRACE(ToUtf8(p.file));
        EXPECT_EQ(w.files.Has(std::u16string(p.file)), p.index < 3);
        EXPECT_FALSE(w.files.Has(std::u16string(p.file) + u".part"));
    }
    EXPECT_TRUE(w.registry.ValuesOf(kConnectTo).empty() && w.registry.ValuesOf(kPolicies).empty());

    w.ui.messages.clear();
    w.onProgress = [](std::int32_t) {};
    w.files.AddFolder(u"C:\\Orvitex\\bin");  // as the first run's main setup left it
    EXPECT_EQ(w.Failure(), "");
    EXPECT_TRUE(w.ui.messages.empty());
    EXPECT_EQ(w.files.ReadWholeFile(kSetupPackages[2].file)->size(), 3u);
}

// Bugs caught: a string the driver manager would split otherwise than written (an
// open brace, a part without a key), a data source of the machine taking over.
TEST(CentralOdbc, ConnectionStringTakenOnlyWhenReadAsWritten) {
    EXPECT_TRUE(CentralOdbcConnectionString(
        u" DRIVER ={PostgreSQL Unicode};Server=127.0.0.1;UID=u;PWD={a;b}}c};"));
    for (const std::u16string_view text :
         {u"Driver={x};PWD={a;b", u"Driver=x;Database", u"Driver={};Database=d",
          u"Server=127.0.0.1;Database=d", u"Driver=x;DSN=central", u"Driver=x;Database=a\nb"}) {
        SCOPED_TRACE(ToUtf8(text));
        EXPECT_FALSE(CentralOdbcConnectionString(text));
    }
}

}  // namespace
}  // namespace orvitex::install
