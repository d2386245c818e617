#include "startup/win32/Program.h"

#include "platform/win32/Win32Api.h"

#include "BuiltInSettings.h"
#include "db/ado/Environment.h"
#include "install/CentralDb.h"
#include "install/ExitCodes.h"
#include "install/RunLog.h"
#include "install/SharedDatabase.h"
#include "message/win32/CompletionWindowWin32.h"
#include "platform/Text.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "startup/win32/MainWindowWin32.h"

namespace orvitex::startup::win32 {
namespace {

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
    }
    return drivers;
}

install::WaitLimits LimitsFor(const Options& options) {
    install::WaitLimits limits;
    if (options.waitLimit) {
        limits.replacementWait = limits.clickUntilGone = *options.waitLimit;
    }
    return limits;
}

// The password stays out of the log.
void LogSettings(Log& log, const install::ServerSettings& s, const ado::ProviderDrivers& drivers,
                 const install::WaitLimits& limits) {
    log.Line(u"orvitex-setup " + FromUtf8(settings::kVersion));
    log.Line(u"main server " + s.mainServer + u" port " + s.mainPort + u", second server " +
             s.secondServer + u", database " + s.database + u", login " + s.login);
    log.Line(drivers.sqlServerReplacement ? u"central database: " + *drivers.sqlServerReplacement
                                          : u"SQL Server driver: " + drivers.sqlServer);
    log.Line(u"wizard wait limit " + ToText(std::int64_t{limits.replacementWait.count()}) + u" ms");
}

void LogPosition(Log& log, forms::win32::Form& window) {
    RECT outer{};
    RECT client{};
    GetWindowRect(window.Handle(), &outer);
    GetClientRect(window.Handle(), &client);
    log.Line(u"main window shown at " + ToText(std::int64_t{outer.left}) + u"," +
             ToText(std::int64_t{outer.top}) + u", client " + ToText(std::int64_t{client.right}) +
             u"x" + ToText(std::int64_t{client.bottom}) + u" pixels at " +
             ToText(std::int64_t{window.Dpi()}) + u" dpi");
}

// A run that stopped at an empty stored program says so in its exit code.
int UnfinishedRunCode(const frm오르비설치& logic) {
    return logic.LastOutcome() == install::RunOutcome::StoppedAtEmptyProgram
               ? install::kExitEmptyStoredProgram
               : install::kExitOtherFailure;
}

}  // namespace

int Main(forms::win32::Application& app, const Options& options, Log& log, platform::Ui& ui) {
    orvitex::win32::Win32Registry registry;
    orvitex::win32::Win32FileSystem files;
    const install::ServerSettings settings = SettingsFor(options);
    const ado::ProviderDrivers drivers = DriversFor(options);
    const install::WaitLimits limits = LimitsFor(options);
    LogSettings(log, settings, drivers, limits);

    std::shared_ptr<db::clsDBMng> database;  // the one shared instance
    install::SharedDatabase mainServer(database, drivers, ui, files);
    orvitex::win32::Win32Shell shell;
    // The scripts yield as the run does: a closed main window ends the run there too.
    MainWindow* window = nullptr;
    orvitex::win32::Win32Desktop desktop([&] { window ? window->Yield() : app.Yield(); });
    install::RunLog runLog(files, [&log](std::u16string_view line) { log.Line(line); });
    install::RunServices run{files,   shell,
                             desktop, registry,
                             ui,      [&]() -> db::clsDBMng& {
                                 return mainServer.Instance(); },
                             runLog,  options.quiet,
                             limits};
    MainWindow main(app, {registry, ui, mainServer, settings, &run}, log, options.quiet);
    window = &main;
    main.SetCompletionWindow(
        [&] { message::win32::ShowCompletionWindow(app, main.Window(), ui, options.quiet); });

    main.Logic().Form_Load();
    log.Line(u"load done: aliases sent to the ConnectTo key, main server connected");
    if (options.code) {
        main.SetCodeText(*options.code);
        log.Line(u"code box: " + *options.code);
    }
    main.Window().Show();
    LogPosition(log, main.Window());
    if (options.run) {
        app.Yield();
        main.PressRunButton();
        if (options.quiet && !main.Completed()) {
            log.Line(u"the run ended without completing");
            ui.EndProgram(UnfinishedRunCode(main.Logic()));
        }
    }
    app.Run();
    log.Line(u"main window closed");
    return main.Completed() ? install::kExitComplete : UnfinishedRunCode(main.Logic());
}

}  // namespace orvitex::startup::win32
