#include "install/RunLog.h"

#include <cstdio>
#include <ctime>

#include "install/Packages.h"
#include "platform/Text.h"

namespace orvitex::install {

std::u16string LocalTime(const char* format) {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(text, sizeof text, format, local);
    }
    return FromUtf8(text);
}

void RunLog::Line(std::u16string_view text) {
    if (mirror_) {
        mirror_(text);
    }
    waiting_.push_back(LocalTime("%Y-%m-%d %H:%M:%S ") + std::u16string(text) + u"\r\n");
    if (!files_.DirectoryExists(kInstallFolder)) {
        return;
    }
    std::string bytes;
    for (const auto& line : waiting_) {
        bytes += ToUtf8(line);
    }
    const auto* data = reinterpret_cast<const std::byte*>(bytes.data());
    if (files_.AppendToFile(kRunLogFile, {data, bytes.size()})) {
        waiting_.clear();
    }
}

std::u16string Milliseconds(std::chrono::milliseconds duration) {
    return ToText(std::int64_t{duration.count()}) + u" ms";
}

std::u16string Hex32(std::uint32_t value) {
    char text[9] = {};
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return FromUtf8(text);
}

std::u16string WizardLine(ScriptOutcome outcome, WizardScript script, std::u16string_view caption,
                          const WaitLimits& limits) {
    if (outcome == ScriptOutcome::StoppedAnswering) {
        return u"wizard '" + std::u16string(caption) + u"' stopped answering: its window did not " +
               u"answer within " + Milliseconds(limits.replacementWait) + u"; going on";
    }
    if (outcome != ScriptOutcome::LimitReached) {
        return u"wizard " + std::u16string(ToText(outcome));
    }
    return script == WizardScript::ClickUntilGone
               ? u"wizard wait limit reached: a window with its caption still open after " +
                     Milliseconds(limits.clickUntilGone) + u"; going on"
               : u"wizard wait limit reached: its window not replaced within " +
                     Milliseconds(limits.replacementWait) + u"; going on";
}

std::u16string UsageLine(const platform::UsageFigures& usage) {
    const auto number = [](auto n) { return ToText(static_cast<std::int64_t>(n)); };
    return u"process usage: CPU " + number(usage.cpu.count()) + u" ms, alive " +
           number(usage.alive.count()) + u" ms, peak working set " +
           number(usage.peakWorkingSetBytes) + u" bytes, peak private " +
           number(usage.peakPrivateBytes) + u" bytes";
}

}  // namespace orvitex::install
