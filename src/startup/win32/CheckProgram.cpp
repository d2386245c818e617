// --check: the preflight over the real registry, file system and central database.
#include "platform/win32/Win32Api.h"

#include "install/ExitCodes.h"
#include "install/Preflight.h"
#include "install/SharedDatabase.h"
#include "platform/Text.h"
#include "platform/win32/CngSha256.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "startup/ProgramSettings.h"
#include "startup/win32/Program.h"

namespace orvitex::startup::win32 {
namespace {

// A query's message box would wait for a person: the check logs the text and
// goes on, the failure shows in its own line.
class LoggedOnlyUi : public platform::Ui {
public:
    LoggedOnlyUi(platform::Ui& inner, Log& log) : inner_(inner), log_(log) {}
    void ShowMessage(std::u16string_view text, platform::MessageIcon) override {
        log_.Line(u"message: " + std::u16string(text));
    }
    void SetBusyPointer(bool) override {}
    void EndProgram(int exitCode) override { inner_.EndProgram(exitCode); }

private:
    platform::Ui& inner_;
    Log& log_;
};

}  // namespace

int Check(const Options& options, Log& log, platform::Ui& ui, install::RunRecord& record,
          const std::function<void(const std::u16string&)>& print) {
    orvitex::win32::Win32Registry registry;
    orvitex::win32::Win32FileSystem files;
    orvitex::win32::CngSha256 sha256;
    // Asked only where clicks would land: the check has no window of its own to serve.
    orvitex::win32::Win32Desktop desktop({}, {});  // nothing to serve: no window of its own
    const install::ServerSettings settings = SettingsFor(options);
    const ado::ProviderDrivers drivers = DriversFor(options);
    LogSettings(log, settings, drivers);
    log.Line(u"check: no alias is written, nothing is changed");

    LoggedOnlyUi quietUi(ui, log);
    std::shared_ptr<db::clsDBMng> database;
    install::SharedDatabase mainServer(database, drivers, quietUi, files);
    install::PreflightServices services{files,
                                        registry,
                                        sha256,
                                        mainServer,
                                        [&]() -> db::clsDBMng& { return mainServer.Instance(); },
                                        settings,
                                        desktop};
    const std::u16string code = options.code.value_or(u"");
    record.code = code;
    record.checks = install::RunPreflight(services, code);

    std::u16string text;
    std::size_t failed = 0, warned = 0;
    for (const auto& result : record.checks) {
        const std::u16string line = install::CheckLine(result);
        log.Line(line);
        text += line + u"\n";
        failed += result.passed ? 0 : 1;
        warned += result.passed && result.warning ? 1 : 0;
    }
    // A warning tells the technician something, and leaves the exit code as it is.
    const int exitCode = failed == 0 ? install::kExitComplete : install::kExitCheckFailed;
    const std::u16string warnings =
        warned == 0 ? u"" : u", " + ToText(static_cast<std::int64_t>(warned)) + u" with a warning";
    text += (failed == 0 ? u"check: every check passed" + warnings
                         : u"check: " + ToText(static_cast<std::int64_t>(failed)) + u" of " +
                               ToText(static_cast<std::int64_t>(record.checks.size())) +
                               u" checks failed") +
            u"; exit code " + ToText(std::int64_t{exitCode}) + u"\n";
    print(text);
    return exitCode;
}

}  // namespace orvitex::startup::win32
