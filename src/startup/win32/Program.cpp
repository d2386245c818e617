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

// A run that stopped at an empty stored program or without an input desktop says so
// in its exit code.
int UnfinishedRunCode(const frm오르비설치& logic) {
    switch (logic.LastOutcome().value_or(install::RunOutcome::UnknownInstitution)) {
        case install::RunOutcome::StoppedAtEmptyProgram:
            return install::kExitEmptyStoredProgram;
        case install::RunOutcome::NoInputDesktop:
            return install::kExitNoInputDesktop;
        default:
            return install::kExitOtherFailure;
    }
}

// The completion window of a run that left work or wizards undone ends the program
// with that run's exit code, not as complete.
class UndoneRunUi : public platform::Ui {
public:
    UndoneRunUi(platform::Ui& inner, int exitCode) : inner_(inner), exitCode_(exitCode) {}
    void ShowMessage(std::u16string_view text, platform::MessageIcon icon) override {
        inner_.ShowMessage(text, icon);
    }
    void SetBusyPointer(bool busy) override { inner_.SetBusyPointer(busy); }
    void EndProgram(int exitCode) override {
        inner_.EndProgram(exitCode == install::kExitComplete ? exitCode_ : exitCode);
    }

private:
    platform::Ui& inner_;
    int exitCode_;
};

// A run that left work undone says what before its completion window; quiet,
// that message ends the program with kExitOtherFailure. Undone wizards are told by
// the log and the exit code alone.
void ShowCompletion(forms::win32::Application& app, const forms::win32::Form& mainWindow,
                    platform::Ui& ui, const install::RunRecord& record, bool quiet) {
    const int exitCode = install::CompletedRunExitCode(record);
    if (exitCode == install::kExitComplete) {
        message::win32::ShowCompletionWindow(app, mainWindow, ui, quiet);
        return;
    }
    const std::u16string undone = install::UndoneWork(record);
    if (!undone.empty()) {
        ui.ShowMessage(u"설치는 끝났으나 마치지 못한 일이 있습니다: " + undone + u".",
                       platform::MessageIcon::Critical);
    }
    UndoneRunUi failed(ui, exitCode);
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
    main.SetCompletionWindow(
        [&] { ShowCompletion(app, main.Window(), ui, record, options.quiet); });

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
    return install::CompletedRunExitCode(record);
}

}  // namespace orvitex::startup::win32
