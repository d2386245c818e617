#include <gtest/gtest.h>

#include "FakeRegistry.h"
#include "install/ServerAliases.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

// The instance form is proved end to end, and that the data reads back as the
// server name by the fuzz target; a split at the last backslash would read back too.
TEST(PipeAlias, DataFollowsTheFirstBackslashOnly) {
    EXPECT_EQ(PipeAliasData(u"SRV\\A\\B"), u"DBNMPNTW,\\\\SRV\\pipe\\MSSQL$A\\B\\sql\\query");
}

// Bugs caught: a missing or refusing key that stops the start, a failed write kept
// for the report as written. The end-to-end start proves no key is created.
TEST(TcpAlias, MissingOrRefusingKeyPassesSilently) {
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    testing::FakeRegistry missing, refusing;
    refusing.AddKey(std::u16string(kConnectToKey), 5);
    std::vector<RegistryWriteRecord> writes;
    EXPECT_NO_THROW(WriteStartupAliases(missing, settings, &writes));
    EXPECT_NO_THROW(WriteStartupAliases(refusing, settings, &writes));
    EXPECT_TRUE(refusing.ValuesOf(std::u16string(kConnectToKey)).empty());
    std::vector<std::u16string> outcomes;
    for (const auto& w : writes)
        outcomes.push_back(w.name + u" " + ToText(w.result));
    EXPECT_EQ(outcomes, (std::vector<std::u16string>{
                            u"10.0.0.2 key missing or refused", u"10.0.0.1 key missing or refused",
                            u"10.0.0.2 failed, status 5", u"10.0.0.1 failed, status 5"}));
}

}  // namespace
}  // namespace orvitex::install
