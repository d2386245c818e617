#include "install/InstallRun.h"

#include "db/ado/Error.h"
#include "install/ExitCodes.h"
#include "install/Institution.h"
#include "install/PackageFile.h"
#include "install/Packages.h"
#include "install/SleepTally.h"
#include "install/Workstation.h"
#include "platform/FolderTree.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

using namespace std::chrono_literals;

// Runs one step; any failure inside comes out named after the step.
template <typename Step>
auto InStep(RunLog& log, std::u16string_view name, Step&& step) {
    std::u16string reason;
    try {
        return step();
    } catch (const ado::Error& e) {
        reason = u"error " + ToText(std::int64_t{e.Number()}) + u": " + e.Description();
    } catch (const std::exception& e) {
        reason = FromUtf8(e.what());
    }
    const std::u16string text = std::u16string(name) + u": " + reason;
    log.Line(u"failed: " + text + u"; exit code " + ToText(std::int64_t{kExitOtherFailure}));
    throw RunStepError(ToUtf8(text));
}

std::u16string Milliseconds(std::chrono::milliseconds duration) {
    return ToText(std::int64_t{duration.count()}) + u" ms";
}

// A limit reached names what was waited for, so the log says which wizard never changed.
std::u16string Describe(ScriptOutcome outcome, WizardScript script, const WaitLimits& limits) {
    switch (outcome) {
        case ScriptOutcome::NotFound:
            return u"wizard not found";
        case ScriptOutcome::ClickedThrough:
            return u"wizard clicked through";
        case ScriptOutcome::LimitReached:
            return script == WizardScript::ClickUntilGone
                       ? u"wizard wait limit reached: a window with its caption still open after " +
                             Milliseconds(limits.clickUntilGone) + u"; going on"
                       : u"wizard wait limit reached: its window not replaced within " +
                             Milliseconds(limits.replacementWait) + u"; going on";
    }
    return u"";
}

class Run {
public:
    Run(RunWindow& window, RunServices& services)
        : window_(window),
          s_(services),
          desktop_(services.desktop),
          scripts_(desktop_, services.limits) {}

    RunOutcome Go() {
        if (!Lookup()) {
            return RunOutcome::UnknownInstitution;
        }
        Prepare();
        for (const auto& package : kSetupPackages) {
            if (!Install(package)) {
                s_.log.Line(PackageLabel(package) +
                            u": stored program of length 0, run stopped; "
                            u"exit code " +
                            ToText(std::int64_t{kExitEmptyStoredProgram}));
                LogSleeps();
                return RunOutcome::StoppedAtEmptyProgram;
            }
        }
        Finish();
        return RunOutcome::Completed;
    }

private:
    bool Lookup() {
        const std::u16string code = window_.CodeText();
        s_.log.Line(u"institution code '" + code + u"'");
        const bool found = InStep(s_.log, u"looking up the institution code", [&] {
            return LookupInstitution(s_.database(), code, window_.Record());
        });
        if (!found) {
            s_.log.Line(u"institution code not found");
            s_.ui.ShowMessage(kUnknownInstitution, platform::MessageIcon::Information);
            return false;
        }
        const ServerRecord& r = window_.Record();
        s_.log.Line(u"institution found: server " + r.serverName + u", database " + r.databaseName +
                    u", update path " + r.updatePath);
        return true;
    }

    void Prepare() {
        window_.MoveToLeftEdge();
        window_.ShowStatusLine();
        window_.ResetProgress();
        window_.ShowProgress(0, kPackageCount);
        static_cast<void>(mdl시작::DeleteFolderTree(s_.files, std::u16string(kOldProgramFolder)));
        if (!s_.files.DirectoryExists(kInstallFolder)) {
            InStep(s_.log, u"making the install folder", [&] {
                if (!s_.files.MakeDirectory(kInstallFolder)) {
                    throw std::runtime_error("cannot make " + ToUtf8(kInstallFolder));
                }
            });
        }
        s_.log.Line(u"old program folder removed, install folder ready");
    }

    // False when the stored program is empty: the run ends there.
    bool Install(const SetupPackage& package) {
        const std::u16string label = PackageLabel(package);
        window_.SetStatus(package.status);
        window_.Yield();
        const PackageFileResult file = InStep(s_.log, label + u", fetching the file", [&] {
            return FetchPackageFile(s_.database(), s_.files, package);
        });
        if (file.state == PackageFileState::Empty) {
            return false;
        }
        if (file.state == PackageFileState::Null) {
            s_.log.Line(label + u": stored program is Null, skipped");
        } else {
            s_.log.Line(label + (file.state == PackageFileState::Reused
                                     ? u": file present, reused"
                                     : u": fetched, " + ToText(file.size) + u" bytes"));
            Start(package, label);
        }
        window_.ShowProgress(package.index, kPackageCount);
        return true;
    }

    void Start(const SetupPackage& package, const std::u16string& label) {
        InStep(s_.log, label + u", starting it", [&] {
            if (!s_.shell.StartProgram(package.file)) {
                throw std::runtime_error("cannot start " + ToUtf8(package.file));
            }
        });
        s_.log.Line(label + u": started");
        desktop_.Sleep(2000ms);
        const ScriptOutcome outcome = scripts_.Run(package.script, package.caption);
        s_.log.Line(label + u": " + Describe(outcome, package.script, s_.limits));
    }

    void LogSleeps() { s_.log.Line(u"fixed sleeps of the run: " + Milliseconds(desktop_.Slept())); }

    void Finish() {
        const bool copied = WriteClientConfig(s_.files, s_.shell, window_.Record(),
                                              window_.NativeHandle(), s_.quiet);
        s_.log.Line(copied ? u"Orvitex.ini copy from " +
                                 ClientConfigSource(window_.Record().updatePath) +
                                 u" handed to the shell"
                           : u"Orvitex.ini not copied: no C:\\Orvitex\\bin");
        WriteWorkstationSettings(s_.registry, window_.Record().serverName, s_.log);
        LogSleeps();
        s_.log.Line(u"run complete; exit code " + ToText(std::int64_t{kExitComplete}) +
                    u" once the completion window closes");
        window_.ShowCompletionWindow();
    }

    RunWindow& window_;
    RunServices& s_;
    SleepTally desktop_;
    WindowScripts scripts_;
};

}  // namespace

RunOutcome RunInstall(RunWindow& window, RunServices& services) {
    try {
        return Run(window, services).Go();
    } catch (const MainWindowClosed&) {
        services.log.Line(u"main window closed during the run; exit code " +
                          ToText(std::int64_t{kExitOtherFailure}));
        services.ui.EndProgram(kExitOtherFailure);
    }
    return RunOutcome::UnknownInstitution;
}

}  // namespace orvitex::install
