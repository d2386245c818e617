#include "install/InstallRun.h"

#include <cstdio>
#include <optional>

#include "install/ExitCodes.h"
#include "install/FailureReason.h"
#include "install/Institution.h"
#include "install/PackageFile.h"
#include "install/Packages.h"
#include "install/RunReport.h"
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
    } catch (const std::exception&) {
        reason = FailureReason(std::current_exception());
    }
    const std::u16string text = std::u16string(name) + u": " + reason;
    log.Line(u"failed: " + text + u"; exit code " + ToText(std::int64_t{kExitOtherFailure}));
    throw RunStepError(ToUtf8(text));
}

// A connection, a query or a fetch, run where it cannot freeze the window.
template <typename Call>
auto Away(platform::Desktop& desktop, Call&& call) {
    std::optional<decltype(call())> result;
    desktop.RunBlockingCall([&] { result.emplace(call()); });
    return std::move(*result);
}

std::string Hex(std::uint32_t value) {
    char text[9] = {};
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::u16string Milliseconds(std::chrono::milliseconds duration) {
    return ToText(std::int64_t{duration.count()}) + u" ms";
}

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

std::u16string_view Describe(ConfigCopy copy) {
    switch (copy) {
        case ConfigCopy::NotTried:
            return u"not copied: no C:\\Orvitex\\bin";
        case ConfigCopy::Copied:
            return u"copied";
        case ConfigCopy::Failed:
            return u"failed: the copy differs from the source or is missing";
        case ConfigCopy::NotAFolder:
            return u"failed: C:\\Orvitex\\bin is a file, not a folder; not copied";
    }
    return u"";
}

class Run {
public:
    Run(RunWindow& window, RunServices& services)
        : window_(window),
          s_(services),
          record_(services.record ? *services.record : ownRecord_),
          desktop_(services.desktop, &services.log),
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
            desktop_.RunBlockingCall([&] { Measure(package, file, kept); });
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

    // Size and hash of the file as it will be started.
    void Measure(const SetupPackage& package, const PackageFileResult& file, PackageRecord& kept) {
        auto bytes = file.bytes;
        if (file.state == PackageFileState::Reused) {
            kept.action = PackageAction::Reused;
            if (auto read = s_.files.ReadWholeFile(package.file)) {
                bytes = std::make_shared<const std::vector<std::byte>>(std::move(*read));
            }
        } else {
            kept.action = PackageAction::Fetched;
        }
        if (bytes) {
            kept.bytes = static_cast<std::int64_t>(bytes->size());
            kept.sha256 = s_.sha256 ? platform::Sha256Hex(*s_.sha256, *bytes) : u"";
        }
    }

    void Start(const SetupPackage& package, const std::u16string& label, PackageRecord& kept) {
        const auto begun = desktop_.Now();
        InStep(s_.log, label + u", starting it", [&] {
            if (!s_.shell.StartProgram(package.file)) {
                throw std::runtime_error("cannot start " + ToUtf8(package.file));
            }
        });
        kept.started = true;
        s_.log.Line(label + u": started");
        desktop_.Sleep(2000ms);
        const ScriptOutcome outcome = scripts_.Run(package.script, package.caption);
        kept.script = outcome;
        kept.seconds = std::chrono::duration<double>(desktop_.Now() - begun).count();
        s_.log.Line(label + u": " + Describe(outcome, package.script, s_.limits));
        if (const auto crash = s_.shell.CrashOfLastProgram()) {
            InStep(s_.log, label, [&] {
                throw std::runtime_error("its program crashed, exception code 0x" + Hex(*crash));
            });
        }
    }

    void LogSleeps() {
        s_.log.Line(u"fixed sleeps of the run: " + Milliseconds(desktop_.Slept()));
        s_.log.Line(u"waits for the wizards' windows: " + Milliseconds(desktop_.Waited()));
    }

    void Finish() {
        const ServerRecord& r = window_.Record();
        const ConfigCopy copy =
            WriteClientConfig(s_.files, s_.shell, r, window_.NativeHandle(), s_.quiet);
        record_.clientConfig = {ClientConfigSource(r.updatePath), std::u16string(Describe(copy))};
        s_.log.Line(copy == ConfigCopy::NotTried
                        ? u"Orvitex.ini not copied: no C:\\Orvitex\\bin"
                        : u"Orvitex.ini copy from " + record_.clientConfig->source +
                              (copy == ConfigCopy::NotAFolder ? u": " : u" handed to the shell: ") +
                              record_.clientConfig->result);
        const std::size_t first = record_.registryWrites.size();
        WriteWorkstationSettings(s_.registry, r.serverName, s_.log, &record_.registryWrites);
        RequireWritten(first);
        LogSleeps();
        const std::u16string undone = UndoneWork(record_);
        s_.log.Line(undone.empty()
                        ? u"run complete; exit code " + ToText(std::int64_t{kExitComplete}) +
                              u" once the completion window closes"
                        : u"run finished with failures: " + undone + u"; exit code " +
                              ToText(std::int64_t{kExitOtherFailure}));
        window_.ShowCompletionWindow();
    }

    // Every value has been tried; a workstation left without one is no complete run.
    void RequireWritten(std::size_t first) {
        std::u16string missing;
        std::int64_t count = 0;
        for (std::size_t i = first; i < record_.registryWrites.size(); ++i) {
            const RegistryWriteRecord& w = record_.registryWrites[i];
            if (w.result != u"written") {
                missing +=
                    (count++ == 0 ? u"" : u", ") + w.key + u" [" + w.name + u"]: " + w.result;
            }
        }
        if (count > 0) {
            InStep(s_.log, u"workstation settings", [&] {
                throw std::runtime_error(ToUtf8(ToText(count) + u" of " +
                                                ToText(std::int64_t{1 + kPolicyValues.size()}) +
                                                u" registry values not written: " + missing));
            });
        }
    }

    RunWindow& window_;
    RunServices& s_;
    RunRecord ownRecord_;
    RunRecord& record_;
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
