#include <gtest/gtest.h>

#include <algorithm>

#include "FakeRegistry.h"
#include "FakeSurface.h"
#include "FakeUi.h"
#include "install/ServerAliases.h"
#include "startup/MainWindow.h"

namespace orvitex::startup {
namespace {

// Journals each connection with the alias values written before it.
class JournalConnector : public install::MainServerConnector {
public:
    JournalConnector(std::vector<std::string>& journal, testing::FakeRegistry& registry)
        : journal_(journal), registry_(registry) {}
    std::int32_t ConnectServerDB(std::u16string_view server, std::u16string_view,
                                 std::u16string_view, std::u16string_view) override {
        const auto sets =
            std::ranges::count_if(registry_.Log(), [](auto& e) { return e.starts_with("set "); });
        journal_.push_back("connect " + ToUtf8(server) + " after " + std::to_string(sets));
        return 1;
    }

private:
    std::vector<std::string>& journal_;
    testing::FakeRegistry& registry_;
};

// Bugs caught: a connection before the aliases that name its server on a fresh
// PC, a load that leaves a counter, status line or code from an earlier run. The
// centring and the aliases' values are proved under Wine and end to end.
TEST(MainWindowLoad, WritesTheAliasesBeforeItConnectsThenResets) {
    std::vector<std::string> journal;
    testing::FakeRegistry registry;
    registry.AddKey(std::u16string(install::kConnectToKey));
    testing::FakeSurface surface;
    surface.journal = &journal;
    testing::FakeUi ui;
    ui.journal = &journal;
    JournalConnector connector{journal, registry};
    const install::ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181",
                                           u"orvitex",  u"sa",       u"pw"};
    frm오르비설치 window{surface, {registry, ui, connector, settings}};
    window.Form_Load();
    EXPECT_EQ(journal,
              (std::vector<std::string>{"move", "connect 10.0.0.1 after 2", "yield", "counter 0/0",
                                        "bar moved", "status hidden", "code ''"}));
}

}  // namespace
}  // namespace orvitex::startup
