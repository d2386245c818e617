#pragma once
// The settings a start works with: the built-in ones, as the command line
// overrides them, and the drivers that serve the connections.
#include "db/ado/Environment.h"
#include "install/ServerSettings.h"
#include "install/WindowScripts.h"
#include "startup/CommandLine.h"
#include "startup/Log.h"

namespace orvitex::startup {

[[nodiscard]] install::ServerSettings SettingsFor(const Options& options);
[[nodiscard]] ado::ProviderDrivers DriversFor(const Options& options);
// --wait-limit for both open-ended waits of the window scripts, else their default.
[[nodiscard]] install::WaitLimits LimitsFor(const Options& options);
// The version and the settings, without the password.
void LogSettings(Log& log, const install::ServerSettings& s, const ado::ProviderDrivers& drivers);

}  // namespace orvitex::startup
