#include <gtest/gtest.h>

#include "FakeUi.h"
#include "install/CentralDb.h"
#include "install/MainServer.h"

namespace orvitex::install {
namespace {

class FakeConnector : public MainServerConnector {
public:
    std::int32_t result = 1;
    std::vector<std::u16string> calls;
    std::int32_t ConnectServerDB(std::u16string_view server, std::u16string_view login,
                                 std::u16string_view password,
                                 std::u16string_view database) override {
        for (const auto part : {server, login, password, database}) {
            calls.emplace_back(part);
        }
        return result;
    }
};

// Bugs caught: a wrong built-in login, a message for a connection that worked,
// a retry or a silent end after one that failed (0 alone is a failure).
TEST(ConnectMainServer, OnlyAFailureShowsItsMessageAndEndsWithoutRetry) {
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181",
                                  u"orvitex",  u"sa",       u"$19KupTel57@$"};
    for (const std::int32_t result : {1, -1, 2, 0}) {
        SCOPED_TRACE(result);
        FakeConnector connector;
        connector.result = result;
        testing::FakeUi ui;
        std::vector<std::string> journal;
        ui.journal = &journal;
        try {
            ConnectMainServer(connector, ui, settings);
        } catch (const testing::ProgramEnded&) {
        }
        EXPECT_EQ(connector.calls,
                  (std::vector<std::u16string>{u"10.0.0.1", u"sa", u"$19KupTel57@$", u"orvitex"}));
        const std::vector<std::string> failed = {"message 메인서버 접속에 실패하였습니다.",
                                                 "end 4"};
        EXPECT_EQ(journal, result != 0 ? std::vector<std::string>{} : failed);
        if (result == 0) {
            EXPECT_EQ(ui.messages.at(0).icon, platform::MessageIcon::Information);
        }
    }
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
