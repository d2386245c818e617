#include "install/InstallRun.h"

#include <cstdio>

#include "install/ClientConfig.h"
#include "install/ExitCodes.h"
#include "install/Institution.h"
#include "install/PackageFile.h"
#include "install/Packages.h"
#include "install/RunReport.h"
#include "install/RunStep.h"
#include "install/RunTimings.h"
#include "install/ScreenPictures.h"
#include "install/SleepTally.h"
#include "install/Workstation.h"
#include "platform/FolderTree.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

// " in 1.234 s (2718281 bytes/s)" for a fetched file; a rate only where time passed.
std::u16string FetchRate(const PackageRecord& kept) {
    if (!kept.fetchMs) {
        return u"";
    }
    const std::int64_t ms = *kept.fetchMs;
    char seconds[32] = {};
    std::snprintf(seconds, sizeof seconds, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    const auto rate = BytesPerSecond(kept);
    return u" in " + FromUtf8(seconds) + u" s" +
           (rate ? u" (" + ToText(*rate) + u" bytes/s)" : u"");
}

class Run {
public:
    Run(RunWindow& window, RunServices& services)
        : window_(window),
          s_(services),
          record_(services.record ? *services.record : ownRecord_),
          desktop_(services.desktop, &services.log),
          scripts_(desktop_, services.limits),
          pictures_(desktop_, services.log, record_.pictures) {}

    // The screen as the failed step left it, named after its package where it had one.
    void PictureOfFailure(const RunStepError& failure) {
        pictures_.Take(subject_, u"failed: " + FromUtf8(failure.what()));
    }

    RunOutcome Go() {
        if (!Lookup()) {
            return RunOutcome::UnknownInstitution;
        }
        if (!ClicksCanLand(desktop_, s_.log, s_.ui, s_.quiet)) {
            return RunOutcome::NoInputDesktop;
        }
        Prepare();
        for (const auto& package : kSetupPackages) {
            if (!Install(package)) {
                s_.log.Line(PackageLabel(package) +
                            u": stored program of length 0, run stopped; exit code " +
                            ToText(std::int64_t{kExitEmptyStoredProgram}));
                LogSleeps();
                return RunOutcome::StoppedAtEmptyProgram;
            }
        }
        CopyConfiguration();
        WriteSettings();
        LogSleeps();
        s_.log.Line(EndOfRunLine(record_));
        window_.ShowCompletionWindow();
        return RunOutcome::Completed;
    }

private:
    bool Lookup() {
        const std::u16string code = window_.CodeText();
        record_.code = code;
        s_.log.Line(u"institution code '" + code + u"'");
        const bool found = InStep(s_.log, u"looking up the institution code", [&] {
            return Away(desktop_,
                        [&] { return LookupInstitution(s_.database(), code, window_.Record()); });
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
        if (!s_.files.DirectoryExists(kInstallFolder) && !s_.files.MakeDirectory(kInstallFolder)) {
            FailStep(s_.log, u"making the install folder",
                     u"cannot make " + std::u16string(kInstallFolder));
        }
        s_.log.Line(u"old program folder removed, install folder ready");
    }

    // False when the stored program is empty: the run ends there.
    bool Install(const SetupPackage& package) {
        const std::u16string label = PackageLabel(package);
        subject_ = PictureSubject(package.file);
        PackageRecord& kept = record_.packages[static_cast<std::size_t>(package.index - 1)];
        window_.SetStatus(package.status);
        window_.Yield();
        const auto asked = desktop_.Now();
        const PackageFileResult file = InStep(s_.log, label + u", fetching the file", [&] {
            return Away(desktop_,
                        [&] { return FetchPackageFile(s_.database(), s_.files, package); });
        });
        const auto took = desktop_.Now() - asked;
        if (file.state == PackageFileState::Empty) {
            kept.action = PackageAction::StoppedEmpty;
            return false;
        }
        if (file.state == PackageFileState::Null) {
            kept.action = PackageAction::SkippedNull;
            s_.log.Line(label + u": stored program is Null, skipped");
        } else {
            // A hash of a large program takes a while: not on the window's thread.
            desktop_.RunBlockingCall(
                [&] { MeasurePackageFile(s_.files, s_.sha256, package, file, kept); });
            if (file.state == PackageFileState::Fetched) {
                kept.fetchMs = took.count();
            }
            s_.log.Line(label +
                        (file.state == PackageFileState::Reused ? u": file present, reused, "
                                                                : u": fetched, ") +
                        ToText(kept.bytes) + u" bytes" + FetchRate(kept) +
                        (kept.sha256.empty() ? u"" : u", SHA-256 " + kept.sha256));
            Start(package, label, kept);
        }
        window_.ShowProgress(package.index, kPackageCount);
        return true;
    }

    void Start(const SetupPackage& package, const std::u16string& label, PackageRecord& kept) {
        const auto begun = desktop_.Now();
        if (!s_.shell.StartProgram(package.file)) {
            FailStep(s_.log, label + u", starting it",
                     u"cannot start " + std::u16string(package.file));
        }
        kept.started = true;
        s_.log.Line(label + u": started");
        desktop_.Sleep(kRunTimings.afterStart);
        const ScriptOutcome outcome =
            scripts_.Run(package.script, package.caption, [&](const ClickRecord& click) {
                kept.clicks.push_back(click);
                s_.log.Line(label + u": " + ClickLine(click));
            });
        kept.script = outcome;
        kept.seconds = std::chrono::duration<double>(desktop_.Now() - begun).count();
        s_.log.Line(label + u": " +
                    WizardLine(outcome, package.script, package.caption, s_.limits));
        if (LeftUndone(outcome)) {
            pictures_.Take(subject_, label + u": " + std::u16string(ToText(outcome)));
        }
        NoteProgramEnd(s_.log, label, s_.shell.CrashOfLastProgram(), kept);
    }

    void CopyConfiguration() {
        record_.clientConfig = CopyClientConfig(s_.files, s_.shell, window_.Record(),
                                                window_.NativeHandle(), s_.quiet, s_.log);
    }

    // Every value is tried; a workstation left without one is no complete run.
    void WriteSettings() {
        const std::size_t first = record_.registryWrites.size();
        WriteWorkstationSettings(s_.registry, window_.Record().serverName, s_.log,
                                 &record_.registryWrites);
        if (const auto missing = UnwrittenValues(record_.registryWrites, first)) {
            FailStep(s_.log, u"workstation settings", *missing);
        }
    }

    void LogSleeps() {
        s_.log.Line(u"fixed sleeps of the run: " + Milliseconds(desktop_.Slept()));
        s_.log.Line(u"waits for the wizards' windows: " + Milliseconds(desktop_.Waited()));
    }

    RunWindow& window_;
    RunServices& s_;
    RunRecord ownRecord_;
    RunRecord& record_;
    SleepTally desktop_;
    WindowScripts scripts_;
    ScreenPictures pictures_;
    std::u16string subject_ = u"run";
};

}  // namespace

RunOutcome RunInstall(RunWindow& window, RunServices& services) {
    Run run(window, services);
    try {
        return run.Go();
    } catch (const RunStepError& failure) {
        run.PictureOfFailure(failure);
        throw;
    } catch (const MainWindowClosed&) {
        services.log.Line(u"main window closed during the run; exit code " +
                          ToText(std::int64_t{kExitOtherFailure}));
        services.ui.EndProgram(kExitOtherFailure);
    }
    return RunOutcome::UnknownInstitution;
}

}  // namespace orvitex::install
