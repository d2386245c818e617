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
// for the report as written, the second alias given the main server's port. The
// end-to-end start proves no key is created and the data as read back.
TEST(TcpAlias, MissingOrRefusingKeyPassesSilently) {
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    testing::FakeRegistry missing, refusing, working;
    refusing.AddKey(std::u16string(kConnectToKey), 5);
    working.AddKey(std::u16string(kConnectToKey));
    std::vector<RegistryWriteRecord> writes;
    for (auto* registry : {&missing, &refusing, &working})
        EXPECT_NO_THROW(WriteStartupAliases(*registry, settings, &writes));
    EXPECT_TRUE(refusing.ValuesOf(std::u16string(kConnectToKey)).empty());
    EXPECT_EQ(working.ValuesOf(std::u16string(kConnectToKey)).size(), 2u);
    std::vector<std::u16string> outcomes;
    for (const auto& w : writes)
        outcomes.push_back(w.name + u"=" + w.data + u" " + ToText(w.result));
    const std::u16string second = u"10.0.0.2=DBMSSOCN,10.0.0.2 ",
                         main = u"10.0.0.1=DBMSSOCN,10.0.0.1,4181 ";
    EXPECT_EQ(outcomes, (std::vector<std::u16string>{
                            second + u"key missing or refused", main + u"key missing or refused",
                            second + u"failed, status 5", main + u"failed, status 5",
                            second + u"written", main + u"written"}));
}

}  // namespace
}  // namespace orvitex::install
