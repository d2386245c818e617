#include <gtest/gtest.h>

#include "FakeUi.h"
#include "install/CentralDb.h"
#include "install/ExitCodes.h"
#include "install/MainServer.h"

namespace orvitex::install {
namespace {

using testing::FakeUi;
using testing::ProgramEnded;

class FakeConnector : public MainServerConnector {
public:
    std::int32_t result = 1;
    std::vector<std::u16string> call;
    int calls = 0;
    std::int32_t ConnectServerDB(std::u16string_view server, std::u16string_view login,
                                 std::u16string_view password,
                                 std::u16string_view database) override {
        ++calls;
        call = {std::u16string(server), std::u16string(login), std::u16string(password),
                std::u16string(database)};
        return result;
    }
};

const ServerSettings kSettings{u"10.0.0.1", u"10.0.0.2", u"4181",
                               u"orvitex",  u"sa",       u"$19KupTel57@$"};

TEST(ConnectMainServer, ConnectsWithTheBuiltInLoginAndReturnsQuietly) {
    for (const std::int32_t result : {1, -1, 2}) {
        SCOPED_TRACE(result);
        FakeConnector connector;
        connector.result = result;
        FakeUi ui;
        EXPECT_NO_THROW(ConnectMainServer(connector, ui, kSettings));
        EXPECT_EQ(connector.call,
                  (std::vector<std::u16string>{u"10.0.0.1", u"sa", u"$19KupTel57@$", u"orvitex"}));
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(ConnectMainServer, FailureShowsOneMessageThenEndsWithoutRetry) {
    FakeConnector connector;
    connector.result = 0;
    FakeUi ui;
    std::vector<std::string> journal;
    ui.journal = &journal;
    try {
        ConnectMainServer(connector, ui, kSettings);
        FAIL() << "the program must end";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, kExitMainServerUnreachable);
    }
    EXPECT_EQ(connector.calls, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, u"메인서버 접속에 실패하였습니다.");
    EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(journal.back(), "end 4") << "the message comes before the end";
}

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
