#include "startup/ProgramSettings.h"

#include "BuiltInSettings.h"
#include "db/Secrets.h"
#include "install/CentralDb.h"
#include "platform/Text.h"

namespace orvitex::startup {

install::ServerSettings SettingsFor(const Options& options) {
    install::ServerSettings settings = install::ServerSettings::BuiltIn();
    if (options.mainServer) {
        settings.mainServer = *options.mainServer;
    }
    return settings;
}

ado::ProviderDrivers DriversFor(const Options& options) {
    ado::ProviderDrivers drivers;
    drivers.sqlServer =
        options.sqlDriver ? *options.sqlDriver : std::u16string(settings::kSqlDriver);
    if (options.centralDb) {
        drivers.sqlServerReplacement = install::CentralDbConnectionString(*options.centralDb);
    } else if (options.centralOdbc) {
        drivers.sqlServerReplacement = install::CentralOdbcConnectionString(*options.centralOdbc);
    }
    return drivers;
}

void LogSettings(Log& log, const install::ServerSettings& s, const ado::ProviderDrivers& drivers) {
    log.Line(u"orvitex-setup " + FromUtf8(settings::kVersion));
    log.Line(u"main server " + s.mainServer + u" port " + s.mainPort + u", second server " +
             s.secondServer + u", database " + s.database + u", login " + s.login);
    log.Line(drivers.sqlServerReplacement
                 ? u"central database: " + db::MaskSecrets(*drivers.sqlServerReplacement, {})
                 : u"SQL Server driver: " + drivers.sqlServer);
}

install::WaitLimits LimitsFor(const Options& options) {
    install::WaitLimits limits;
    if (options.waitLimit) {
        limits.replacementWait = limits.clickUntilGone = *options.waitLimit;
    }
    return limits;
}

}  // namespace orvitex::startup
