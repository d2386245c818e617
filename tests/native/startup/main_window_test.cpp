#include <gtest/gtest.h>

#include "FakeRegistry.h"
#include "FakeSurface.h"
#include "FakeUi.h"
#include "install/ExitCodes.h"
#include "install/ServerAliases.h"
#include "startup/MainWindow.h"

namespace orvitex::startup {
namespace {

using testing::FakeRegistry;
using testing::FakeSurface;
using testing::FakeUi;
using testing::ProgramEnded;

// Records each connection attempt in the shared journal.
class JournalConnector : public install::MainServerConnector {
public:
    explicit JournalConnector(std::vector<std::string>& journal) : journal_(journal) {}
    std::int32_t result = 1;
    std::int32_t ConnectServerDB(std::u16string_view server, std::u16string_view,
                                 std::u16string_view, std::u16string_view) override {
        journal_.push_back("connect " + ToUtf8(server));
        return result;
    }

private:
    std::vector<std::string>& journal_;
};

struct Fixture {
    std::vector<std::string> journal;
    FakeRegistry registry;
    FakeSurface surface;
    FakeUi ui;
    JournalConnector connector{journal};
    install::ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    frm오르비설치 window{surface, {registry, ui, connector, settings}};

    Fixture() {
        registry.AddKey(std::u16string(install::kConnectToKey));
        surface.journal = &journal;
        ui.journal = &journal;
    }
    // The registry's writes, merged into the journal's order by position.
    std::vector<std::string> Writes() const {
        std::vector<std::string> sets;
        for (const auto& e : registry.Log()) {
            if (e.starts_with("set ")) {
                sets.push_back(e.substr(e.find('[')));
            }
        }
        return sets;
    }
};

TEST(MainWindowLoad, RunsAliasesCentringConnectionResetsInOrder) {
    Fixture f;
    f.window.Form_Load();
    EXPECT_EQ(f.Writes(), (std::vector<std::string>{"[10.0.0.2]", "[10.0.0.1]"}));
    EXPECT_EQ(f.journal,
              (std::vector<std::string>{"move", "connect 10.0.0.1", "yield", "counter 0/0",
                                        "bar moved", "status hidden", "code ''"}));
    EXPECT_DOUBLE_EQ(f.surface.position.left, 19200 / 2.0 - 7905 / 2.0);
    EXPECT_DOUBLE_EQ(f.surface.position.top, 15360 / 2.0 - 3990 / 2.0);
    EXPECT_FALSE(f.surface.statusVisible);
    EXPECT_TRUE(f.surface.code.empty());
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(MainWindowLoad, UnreachableServerEndsBeforeAnyReset) {
    Fixture f;
    f.connector.result = 0;
    f.surface.screen = {4000, 3000};  // smaller than the window: moved as computed
    try {
        f.window.Form_Load();
        FAIL() << "the program must end";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, install::kExitMainServerUnreachable);
    }
    EXPECT_EQ(f.Writes().size(), 2u) << "both aliases are written first";
    EXPECT_EQ(f.journal,
              (std::vector<std::string>{"move", "connect 10.0.0.1",
                                        "message 메인서버 접속에 실패하였습니다.", "end 4"}));
    EXPECT_DOUBLE_EQ(f.surface.position.left, 2000 - 3952.5);
    EXPECT_DOUBLE_EQ(f.surface.position.top, 1500 - 1995);
}

TEST(MainWindowLoad, MissingConnectToKeyStillConnects) {
    FakeRegistry empty;
    Fixture f;
    frm오르비설치 window{f.surface, {empty, f.ui, f.connector, f.settings}};
    window.Form_Load();
    EXPECT_FALSE(empty.HasKey(std::u16string(install::kConnectToKey)));
    EXPECT_EQ(f.journal.at(1), "connect 10.0.0.1");
}

TEST(MainWindow, RegisterPipeAliasWritesThroughTheWindowsRegistry) {
    Fixture f;
    f.window.RegisterPipeAlias(u"SRV\\INST");
    EXPECT_EQ(f.Writes(), (std::vector<std::string>{"[SRV\\INST]"}));
}

TEST(MainWindow, EitherPartOfTheRunButtonRunsAndReleasesTheGuard) {
    Fixture f;
    f.window.Label1_Click();
    EXPECT_FALSE(f.window.RunInProgress());
    f.window.Picture6_Click();
    EXPECT_FALSE(f.window.RunInProgress());
}

}  // namespace
}  // namespace orvitex::startup
