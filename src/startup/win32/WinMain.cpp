// The program's entry: the command line, the log, and the outermost handler
// that reports an unhandled error and ends the program.
#include "platform/win32/Win32Api.h"

#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

#include "BuiltInSettings.h"
#include "db/ado/Error.h"
#include "install/ExitCodes.h"
#include "install/RunLog.h"
#include "install/RunReport.h"
#include "install/RunStep.h"
#include "platform/Text.h"
#include "platform/win32/OneCopy.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32ProcessUsage.h"
#include "startup/CommandLine.h"
#include "startup/LoggingUi.h"
#include "startup/RuntimeError.h"
#include "startup/win32/Program.h"
#include "startup/win32/Win32Ui.h"

namespace {

using namespace orvitex;

constexpr wchar_t kOneCopyMutex[] = L"Global\\OrvitexSetup.OneCopy";

std::vector<std::u16string> Arguments() {
    int count = 0;
    const win32::UniqueLocal<LPWSTR*> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::u16string> args;
    for (int i = 1; argv && i < count; ++i) {
        args.push_back(win32::FromWide(argv.Get()[i]));
    }
    return args;
}

// To the console or pipe that started the program, else in a message box unless
// no window may appear.
void Print(const std::u16string& text, bool mayShowWindow = true) {
    AttachConsole(ATTACH_PARENT_PROCESS);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out && out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode)) {
        DWORD written = 0;
        WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    if (out && out != INVALID_HANDLE_VALUE) {
        const std::string utf8 = ToUtf8(text);
        DWORD written = 0;
        if (WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr)) {
            return;
        }
    }
    if (mayShowWindow) {
        MessageBoxW(nullptr, win32::Wide(text), startup::win32::kMessageTitle, MB_OK);
    }
}

// However the program ends: its own usage to the logs (the run log only where this
// copy may write it) and the record, then the report of --report FILE. A quiet run
// ended by a message has not told the run log why; --log has it already.
void AtEnd(const startup::Options& options, startup::Log& log, const install::ReportFrame& start,
           install::RunRecord& record, int exitCode, std::u16string_view endingMessage,
           bool mayWriteRunLog) {
    win32::Win32FileSystem files;
    if (mayWriteRunLog && !endingMessage.empty()) {
        install::RunLog runLog(files, {});
        runLog.Line(u"message: " + std::u16string(endingMessage));
        runLog.Line(u"exit code " + ToText(std::int64_t{exitCode}));
    }
    win32::Win32ProcessUsage meter;
    record.usage = meter.Measure();
    if (record.usage) {
        const std::u16string line = install::UsageLine(*record.usage);
        if (mayWriteRunLog) {
            install::RunLog(files, [&log](std::u16string_view text) { log.Line(text); }).Line(line);
        } else {
            log.Line(line);
        }
    }
    if (!options.report) {
        return;
    }
    install::ReportFrame frame = start;
    frame.ended = install::UtcNow();
    frame.exitCode = exitCode;
    frame.message = endingMessage;
    const bool written = install::WriteReport(files, *options.report, frame, record);
    log.Line((written ? u"report written to " : u"report: cannot write ") + *options.report);
}

std::u16string Describe(const std::exception_ptr& failure) {
    const auto report = [](std::int64_t number, const std::u16string& description) {
        return u"Run-time error '" + ToText(number) + u"':\n\n" + description;
    };
    try {
        std::rethrow_exception(failure);
    } catch (const ado::Error& e) {
        return report(e.Number(), e.Description());
    } catch (const startup::RuntimeError& e) {
        return report(e.Number(), FromUtf8(e.what()));
    } catch (const install::RunStepError& e) {  // the step, its package and the reason stay
        return report(install::kExitOtherFailure,
                      u"설치 단계를 마치지 못하였습니다: " + FromUtf8(e.what()));
    } catch (const std::exception& e) {
        return report(install::kExitOtherFailure, FromUtf8(e.what()));
    } catch (...) {
        return report(install::kExitOtherFailure, u"Unexpected failure");
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::vector<std::u16string> args = Arguments();
    const startup::ParsedCommandLine parsed = startup::ParseCommandLine(args);
    if (!parsed.error.empty()) {
        Print(parsed.error + u"\n" + startup::UsageText());
        return install::kExitOtherFailure;
    }
    if (parsed.options.help) {
        Print(startup::UsageText());
        return install::kExitComplete;
    }
    // Before anything is written, the log included: the first copy may be writing it.
    const orvitex::win32::OneCopy oneCopy(kOneCopyMutex);
    const bool second = oneCopy.AnotherIsRunning();
    startup::Log log = parsed.options.log
                           ? startup::Log(std::filesystem::path(*parsed.options.log), second)
                           : startup::Log();
    if (parsed.options.log && !log.IsOpen()) {
        Print(u"--log: cannot write " + *parsed.options.log + u"\n");
        return install::kExitOtherFailure;
    }
    forms::win32::Application app(instance);
    startup::win32::Win32Ui screen(app);
    startup::LoggingUi ui(screen, log, parsed.options.quiet);
    const startup::Options& options = parsed.options;
    install::RunRecord record;
    const install::ReportFrame start{
        FromUtf8(settings::kVersion), options.check, install::UtcNow(), {}, 0, {}};
    const bool mayWriteRunLog = !options.check && !second;
    ui.OnEnd([&](int code, std::u16string_view message) {
        AtEnd(options, log, start, record, code, message, mayWriteRunLog);
    });
    if (second) {
        ui.ShowMessage(startup::kAlreadyRunning, platform::MessageIcon::Information);
        ui.EndProgram(install::kExitAlreadyRunning);
        return install::kExitAlreadyRunning;
    }
    try {
        const int code = options.check ? startup::win32::Check(options, log, ui, record,
                                                               [&](const std::u16string& text) {
                                                                   Print(text, !options.quiet);
                                                               })
                                       : startup::win32::Main(app, options, log, ui, record);
        log.Line(u"exit code " + ToText(std::int64_t{code}));
        AtEnd(options, log, start, record, code, {}, mayWriteRunLog);
        return code;
    } catch (...) {
        ui.ShowMessage(Describe(std::current_exception()), platform::MessageIcon::Critical);
        ui.EndProgram(install::kExitOtherFailure);
    }
    return install::kExitOtherFailure;
}
