#pragma once
// The preflight check: everything a run needs, verified through the run's own
// steps, with nothing written: no alias, no folder, no file, no registry value.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/clsDBMng.h"
#include "install/MainServer.h"
#include "install/RunRecord.h"
#include "install/ServerSettings.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Sha256.h"

namespace orvitex::install {

// A run needs this much on the install folder's drive beyond the packages it fetches.
inline constexpr std::uint64_t kSpareBytes = std::uint64_t{64} << 20;

struct PreflightServices {
    platform::FileSystem& files;
    platform::Registry& registry;
    platform::Sha256& sha256;
    MainServerConnector& mainServer;
    std::function<db::clsDBMng&()> database;  // the instance mainServer connects
    const ServerSettings& settings;
    platform::Desktop& desktop;  // asked only where its clicks would land
};

// One result a check, in the order the run meets them: the main server, the
// institution code, the input desktop, the six stored programs, the two registry
// keys, the install folder, the free space, the institution's "Orvitex.ini".
[[nodiscard]] std::vector<CheckResult> RunPreflight(PreflightServices& services,
                                                    std::u16string_view code);

// "ok   main server: …", "warn registry ConnectTo: …" or "FAIL main server: …".
[[nodiscard]] std::u16string CheckLine(const CheckResult& result);

}  // namespace orvitex::install
