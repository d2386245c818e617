#include "install/ServerAliases.h"

#include "install/ObservedRegistry.h"
#include "platform/RegistryWriter.h"

namespace orvitex::install {
namespace {

constexpr std::u16string_view kTcpTag = u"DBMSSOCN,";
constexpr std::u16string_view kPipeTag = u"DBNMPNTW,\\\\";

void WriteAlias(platform::Registry& registry, std::u16string_view name, std::u16string_view data) {
    mdl레지스트리::WriteRegistryString(registry, kConnectToKey, name, data, platform::kRegSz);
}

}  // namespace

std::u16string TcpAliasData(std::u16string_view address) {
    std::u16string data(kTcpTag);
    data += address;
    return data;
}

std::u16string TcpAliasData(std::u16string_view address, std::u16string_view port) {
    std::u16string data = TcpAliasData(address);
    data += u',';
    data += port;
    return data;
}

std::u16string PipeAliasData(std::u16string_view serverName) {
    std::u16string data(kPipeTag);
    const auto slash = serverName.find(u'\\');
    if (slash == std::u16string_view::npos) {
        data += serverName;
        data += u"\\pipe\\sql\\query";
        return data;
    }
    data += serverName.substr(0, slash);
    data += u"\\pipe\\MSSQL$";
    data += serverName.substr(slash + 1);
    data += u"\\sql\\query";
    return data;
}

void WriteStartupAliases(platform::Registry& registry, const ServerSettings& settings,
                         std::vector<RegistryWriteRecord>* writes) {
    ObservedRegistry observed(registry);
    const auto write = [&](const std::u16string& name, const std::u16string& data) {
        WriteAlias(observed, name, data);
        if (writes) {
            writes->push_back({std::u16string(kConnectToKey), name, data, observed.Outcome(),
                               observed.ViewsOutcome()});
        }
    };
    write(settings.secondServer, TcpAliasData(settings.secondServer));
    write(settings.mainServer, TcpAliasData(settings.mainServer, settings.mainPort));
}

void RegisterPipeAlias(platform::Registry& registry, std::u16string_view serverName) {
    WriteAlias(registry, serverName, PipeAliasData(serverName));
}

}  // namespace orvitex::install
