#include "install/RunStep.h"

#include "install/CrashCodes.h"
#include "install/ExitCodes.h"
#include "platform/InputDesktop.h"
#include "platform/Text.h"

namespace orvitex::install {

void FailStep(RunLog& log, std::u16string_view step, std::u16string_view reason) {
    const std::u16string text = std::u16string(step) + u": " + std::u16string(reason);
    log.Line(u"failed: " + text + u"; exit code " + ToText(std::int64_t{kExitOtherFailure}));
    throw RunStepError(ToUtf8(text));
}

bool ClicksCanLand(platform::Desktop& desktop, RunLog& log, platform::Ui& ui, bool quiet) {
    const auto reason = platform::WhyClicksCannotLand(desktop.ReadInputDesktop());
    if (!reason) {
        return true;
    }
    const std::u16string message = platform::NoInputDesktopMessage(*reason);
    log.Line(u"stopped: " + message + u"; exit code " + ToText(std::int64_t{kExitNoInputDesktop}));
    if (!quiet) {
        ui.ShowMessage(message, platform::MessageIcon::Critical);
    }
    ui.EndProgram(kExitNoInputDesktop);
    return false;
}

void NoteProgramEnd(RunLog& log, std::u16string_view label, std::optional<std::uint32_t> code,
                    PackageRecord& kept) {
    if (!code) {
        return;
    }
    const std::u16string label16(label);
    if (IsCrashCode(*code)) {
        FailStep(log, label, u"its program crashed, exception code 0x" + Hex32(*code));
    }
    kept.exitCode = *code;
    log.Line(label16 + u": its program ended with exit code 0x" + Hex32(*code) +
             u", no crash; going on");
}

}  // namespace orvitex::install
