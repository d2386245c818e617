#include <gtest/gtest.h>

#include "FakeRegistry.h"
#include "FakeSurface.h"
#include "FakeUi.h"
#include "install/ServerAliases.h"
#include "startup/MainWindow.h"

namespace orvitex::startup {
namespace {

using testing::FakeRegistry;
using testing::FakeSurface;
using testing::FakeUi;

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

}  // namespace
}  // namespace orvitex::startup
