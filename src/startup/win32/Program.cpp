#include "startup/win32/Program.h"

#include "platform/win32/Win32Api.h"

#include "install/ExitCodes.h"
#include "install/RunLog.h"
#include "install/RunReport.h"
#include "install/SharedDatabase.h"
#include "message/win32/CompletionWindowWin32.h"
#include "platform/Text.h"
#include "platform/win32/CngSha256.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "startup/ProgramSettings.h"
#include "startup/win32/MainWindowWin32.h"

namespace orvitex::startup::win32 {
namespace {

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

// The completion window of a run that left work undone ends the program with
// kExitOtherFailure, not as complete.
class UndoneRunUi : public platform::Ui {
public:
    explicit UndoneRunUi(platform::Ui& inner) : inner_(inner) {}
    void ShowMessage(std::u16string_view text, platform::MessageIcon icon) override {
        inner_.ShowMessage(text, icon);
    }
    void SetBusyPointer(bool busy) override { inner_.SetBusyPointer(busy); }
    void EndProgram(int exitCode) override {
        inner_.EndProgram(exitCode == install::kExitComplete ? install::kExitOtherFailure
                                                             : exitCode);
    }

private:
    platform::Ui& inner_;
};

// A run that left work undone says what before its completion window; quiet,
// that message ends the program with kExitOtherFailure.
void ShowCompletion(forms::win32::Application& app, const forms::win32::Form& mainWindow,
                    platform::Ui& ui, const std::u16string& undone, bool quiet) {
    if (undone.empty()) {
        message::win32::ShowCompletionWindow(app, mainWindow, ui, quiet);
        return;
    }
    ui.ShowMessage(u"The installation ran to its end, but: " + undone + u".",
                   platform::MessageIcon::Critical);
    UndoneRunUi failed(ui);
    message::win32::ShowCompletionWindow(app, mainWindow, failed, quiet);
}

}  // namespace

int Main(forms::win32::Application& app, const Options& options, Log& log, platform::Ui& ui,
         install::RunRecord& record) {
    orvitex::win32::Win32Registry registry;
    orvitex::win32::Win32FileSystem files;
    const install::ServerSettings settings = SettingsFor(options);
    const ado::ProviderDrivers drivers = DriversFor(options);
    const install::WaitLimits limits = LimitsFor(options);
    LogSettings(log, settings, drivers);
    log.Line(u"wizard wait limit " + ToText(std::int64_t{limits.replacementWait.count()}) + u" ms");

    std::shared_ptr<db::clsDBMng> database;  // the one shared instance
    install::SharedDatabase mainServer(database, drivers, ui, files);
    orvitex::win32::Win32Shell shell;
    // The scripts yield as the run does: a closed main window ends the run there too.
    MainWindow* window = nullptr;
    orvitex::win32::Win32Desktop desktop([&] { window ? window->Yield() : app.Yield(); },
                                         [&] { app.Yield(); });
    install::RunLog runLog(files, [&log](std::u16string_view line) { log.Line(line); });
    install::RunServices run{files,   shell,
                             desktop, registry,
                             ui,      [&]() -> db::clsDBMng& {
                                 return mainServer.Instance(); },
                             runLog,  options.quiet,
                             limits};
    orvitex::win32::CngSha256 sha256;
    run.record = &record;
    run.sha256 = &sha256;
    MainWindow main(app, {registry, ui, mainServer, settings, &run}, log, options.quiet);
    window = &main;
    main.SetCompletionWindow([&] {
        ShowCompletion(app, main.Window(), ui, install::UndoneWork(record), options.quiet);
    });

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
    if (!main.Completed()) {
        return UnfinishedRunCode(main.Logic());
    }
    return install::UndoneWork(record).empty() ? install::kExitComplete
                                               : install::kExitOtherFailure;
}

}  // namespace orvitex::startup::win32
