#pragma once
// SQL Server client aliases: string values of the ConnectTo key, named by the
// server name a client writes and holding the network library and the target.
#include <string>
#include <string_view>
#include <vector>

#include "install/RunRecord.h"
#include "install/ServerSettings.h"
#include "platform/Registry.h"

namespace orvitex::install {

inline constexpr std::u16string_view kConnectToKey =
    u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";

[[nodiscard]] std::u16string TcpAliasData(std::u16string_view address);
[[nodiscard]] std::u16string TcpAliasData(std::u16string_view address, std::u16string_view port);
// Split at the first backslash only: host before it, instance (further
// backslashes included) after it; no backslash means the default instance.
[[nodiscard]] std::u16string PipeAliasData(std::u16string_view serverName);

// The two TCP aliases of every start: the second server, then the main server
// with its port. Failed writes pass silently; each result is kept in writes when given.
void WriteStartupAliases(platform::Registry& registry, const ServerSettings& settings,
                         std::vector<RegistryWriteRecord>* writes = nullptr);
// The named-pipe alias, named by the server name exactly as given.
void RegisterPipeAlias(platform::Registry& registry, std::u16string_view serverName);

}  // namespace orvitex::install
