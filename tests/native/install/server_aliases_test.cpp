#include <gtest/gtest.h>

#include "FakeRegistry.h"
#include "install/ServerAliases.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

// The text is byte-exact; that it reads back as the server name, whatever the
// name, is the fuzz target's invariant, and the end-to-end run reads the value.
TEST(PipeAlias, DataFollowsTheFirstBackslashOnly) {
    const struct {
        std::u16string name, data;
    } cases[] = {
        {u"SRV", u"DBNMPNTW,\\\\SRV\\pipe\\sql\\query"},
        {u"SRV\\A\\B", u"DBNMPNTW,\\\\SRV\\pipe\\MSSQL$A\\B\\sql\\query"},
        {u"SRV\\", u"DBNMPNTW,\\\\SRV\\pipe\\MSSQL$\\sql\\query"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        EXPECT_EQ(PipeAliasData(c.name), c.data);
    }
}

// Bugs caught: a missing or refusing key that stops the start, a key created
// where the SQL client made none, a failed write kept for the report as written.
TEST(TcpAlias, MissingOrRefusingKeyPassesSilently) {
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    testing::FakeRegistry missing;
    std::vector<RegistryWriteRecord> writes;
    EXPECT_NO_THROW(WriteStartupAliases(missing, settings, &writes));
    EXPECT_FALSE(missing.HasKey(std::u16string(kConnectToKey)));

    testing::FakeRegistry refusing;
    refusing.AddKey(std::u16string(kConnectToKey), 5);
    EXPECT_NO_THROW(WriteStartupAliases(refusing, settings, &writes));
    EXPECT_TRUE(refusing.ValuesOf(std::u16string(kConnectToKey)).empty());

    std::vector<std::u16string> outcomes;
    for (const auto& w : writes) {
        outcomes.push_back(w.name + u" " + w.result);
    }
    EXPECT_EQ(outcomes, (std::vector<std::u16string>{
                            u"10.0.0.2 key missing or refused", u"10.0.0.1 key missing or refused",
                            u"10.0.0.2 failed, status 5", u"10.0.0.1 failed, status 5"}));
}

}  // namespace
}  // namespace orvitex::install
