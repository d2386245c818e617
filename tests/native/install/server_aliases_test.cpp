#include <gtest/gtest.h>

#include <cstring>

#include "FakeRegistry.h"
#include "install/ServerAliases.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

using testing::FakeRegistry;

const std::u16string kKey(kConnectToKey);

std::u16string TextOf(const FakeRegistry::Value& value) {
    // REG_SZ data are UTF-16 with a terminating zero.
    std::u16string text(value.data.size() / 2, u'\0');
    std::memcpy(text.data(), value.data.data(), text.size() * 2);
    if (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    return text;
}

TEST(PipeAlias, DataFollowsTheFirstBackslashOnly) {
    struct Case {
        std::u16string name;
        std::u16string data;
    };
    const Case cases[] = {
        {u"SRV", u"DBNMPNTW,\\\\SRV\\pipe\\sql\\query"},
        {u"SRV\\INST", u"DBNMPNTW,\\\\SRV\\pipe\\MSSQL$INST\\sql\\query"},
        {u"SRV\\A\\B", u"DBNMPNTW,\\\\SRV\\pipe\\MSSQL$A\\B\\sql\\query"},
        {u"SRV\\", u"DBNMPNTW,\\\\SRV\\pipe\\MSSQL$\\sql\\query"},
        {u"\\INST", u"DBNMPNTW,\\\\\\pipe\\MSSQL$INST\\sql\\query"},
        {u"", u"DBNMPNTW,\\\\\\pipe\\sql\\query"},
        {u"192.168.0.10", u"DBNMPNTW,\\\\192.168.0.10\\pipe\\sql\\query"},
        {u" 병원서버 ", u"DBNMPNTW,\\\\ 병원서버 \\pipe\\sql\\query"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        EXPECT_EQ(PipeAliasData(c.name), c.data);

        FakeRegistry registry;
        registry.AddKey(kKey);
        RegisterPipeAlias(registry, c.name);
        const auto& values = registry.ValuesOf(kKey);
        ASSERT_EQ(values.size(), 1u);
        ASSERT_TRUE(values.contains(c.name)) << "value named by the server name, unchanged";
        EXPECT_EQ(values.at(c.name).type, platform::kRegSz);
        EXPECT_EQ(TextOf(values.at(c.name)), c.data);
    }
}

TEST(TcpAlias, SecondServerWithoutPortThenMainServerWithPort) {
    FakeRegistry registry;
    registry.AddKey(kKey);
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};

    WriteStartupAliases(registry, settings);

    const auto& values = registry.ValuesOf(kKey);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(TextOf(values.at(u"10.0.0.2")), u"DBMSSOCN,10.0.0.2");
    EXPECT_EQ(TextOf(values.at(u"10.0.0.1")), u"DBMSSOCN,10.0.0.1,4181");
    std::vector<std::string> sets;
    for (const auto& entry : registry.Log()) {
        if (entry.starts_with("set ")) {
            sets.push_back(entry.substr(entry.find('[')));
        }
    }
    EXPECT_EQ(sets, (std::vector<std::string>{"[10.0.0.2]", "[10.0.0.1]"}));
}

TEST(TcpAlias, SecondStartLeavesTheKeyAsTheFirst) {
    FakeRegistry registry;
    registry.AddKey(kKey);
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    WriteStartupAliases(registry, settings);
    const auto first = registry.ValuesOf(kKey);
    WriteStartupAliases(registry, settings);
    const auto& second = registry.ValuesOf(kKey);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, value] : first) {
        SCOPED_TRACE(ToUtf8(name));
        EXPECT_EQ(second.at(name).data, value.data);
    }
}

// Also: a failed write kept for the report as written.
TEST(TcpAlias, MissingOrRefusingKeyPassesSilently) {
    const ServerSettings settings{u"10.0.0.1", u"10.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    FakeRegistry missing;
    std::vector<RegistryWriteRecord> writes;
    EXPECT_NO_THROW(WriteStartupAliases(missing, settings, &writes));
    EXPECT_FALSE(missing.HasKey(kKey)) << "the key is never created";

    FakeRegistry refusing;
    refusing.AddKey(kKey, 5);
    EXPECT_NO_THROW(WriteStartupAliases(refusing, settings, &writes));
    EXPECT_NO_THROW(RegisterPipeAlias(refusing, u"SRV"));
    EXPECT_TRUE(refusing.ValuesOf(kKey).empty());

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
