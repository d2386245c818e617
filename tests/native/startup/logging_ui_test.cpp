#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FakeUi.h"
#include "install/ExitCodes.h"
#include "install/MainServer.h"
#include "startup/LoggingUi.h"

namespace orvitex::startup {
namespace {

using testing::FakeUi;
using testing::ProgramEnded;

class TempLog {
public:
    TempLog()
        : path_(std::filesystem::temp_directory_path() /
                ("orvitex-log-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt")) {}
    ~TempLog() { std::filesystem::remove(path_); }
    const std::filesystem::path& Path() const { return path_; }
    std::string Text() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::filesystem::path path_;
};

class RefusingConnector : public install::MainServerConnector {
public:
    std::int32_t ConnectServerDB(std::u16string_view, std::u16string_view, std::u16string_view,
                                 std::u16string_view) override {
        return 0;
    }
};

TEST(LoggingUi, QuietMessagesEndWithTheirExitCodeAndNeverReachTheScreen) {
    struct Case {
        std::u16string text;
        int exitCode;
    };
    const Case cases[] = {
        {u"메인서버 접속에 실패하였습니다.", install::kExitMainServerUnreachable},
        {u"요양기관기호를 다시한번 확인해주세요.", install::kExitUnknownInstitution},
        {u"이미 실행 중입니다.", install::kExitAlreadyRunning},
        {u"Query failed", install::kExitOtherFailure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        TempLog file;
        FakeUi screen;
        {
            Log log(file.Path());
            LoggingUi ui(screen, log, true);
            try {
                ui.ShowMessage(c.text, platform::MessageIcon::Information);
                ADD_FAILURE() << "a quiet message ends the program";
            } catch (const ProgramEnded& ended) {
                EXPECT_EQ(ended.exitCode, c.exitCode);
            }
        }
        EXPECT_TRUE(screen.messages.empty());
        EXPECT_EQ(file.Text(), "message: " + ToUtf8(c.text) + "\nexit code " +
                                   std::to_string(c.exitCode) + "\n");
    }
}

TEST(LoggingUi, ShownMessagesAreLoggedTooAndThePasswordNowhere) {
    TempLog file;
    FakeUi screen;
    const install::ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181",
                                           u"orvitex",  u"sa",       u"$19KupTel57@$"};
    {
        Log log(file.Path());
        ASSERT_TRUE(log.IsOpen());
        LoggingUi ui(screen, log, false);
        RefusingConnector connector;
        EXPECT_THROW(install::ConnectMainServer(connector, ui, settings), ProgramEnded);
    }
    ASSERT_EQ(screen.messages.size(), 1u);
    const std::string text = file.Text();
    EXPECT_EQ(text, "message: 메인서버 접속에 실패하였습니다.\nexit code 4\n");
    EXPECT_EQ(text.find("19KupTel57"), std::string::npos);
}

TEST(Log, UnopenableFileWritesNowhere) {
    Log log(std::filesystem::path("/nonexistent-folder-orvitex/x.log"));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_NO_THROW(log.Line(u"nothing"));
}

}  // namespace
}  // namespace orvitex::startup
