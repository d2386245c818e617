#pragma once
// The run log: one stamped line a step, appended to the log file in the install
// folder. Lines from before the folder exists wait and are written once it does.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "install/WindowScripts.h"
#include "platform/FileSystem.h"
#include "platform/ProcessUsage.h"

namespace orvitex::install {

inline constexpr std::u16string_view kRunLogFile = u"C:\\오르비설치\\orvitex-setup.log";

class RunLog {
public:
    using Mirror = std::function<void(std::u16string_view)>;
    // mirror receives every line as well (the --log file); it may be empty.
    RunLog(platform::FileSystem& files, Mirror mirror)
        : files_(files), mirror_(std::move(mirror)) {}

    void Line(std::u16string_view text);

private:
    platform::FileSystem& files_;
    Mirror mirror_;
    std::vector<std::u16string> waiting_;
};

// "2000 ms".
[[nodiscard]] std::u16string Milliseconds(std::chrono::milliseconds duration);
// "C0000005": eight upper-case hexadecimal digits.
[[nodiscard]] std::u16string Hex32(std::uint32_t value);

// Now, local time, in strftime's format (at most 31 characters).
[[nodiscard]] std::u16string LocalTime(const char* format);

// The log's words for a script's outcome; a limit reached names what was waited for,
// so the log says which wizard never changed.
[[nodiscard]] std::u16string WizardLine(ScriptOutcome outcome, WizardScript script,
                                        std::u16string_view caption, const WaitLimits& limits);

// "process usage: CPU 812 ms, alive 33100 ms, peak working set 41234432 bytes,
// peak private 51234432 bytes": the line a run ends with.
[[nodiscard]] std::u16string UsageLine(const platform::UsageFigures& usage);

}  // namespace orvitex::install
