#pragma once
// The window scripts that click the setup wizards through: find the wizard by
// caption, pin it topmost, click at fixed pixel offsets from its corners.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"
#include "platform/Text.h"

namespace orvitex::install {

enum class WizardScript { MainSetup, UpdateSetup, ClickUntilGone, SingleClick, TwoClicks };

enum class ScriptOutcome {
    NotFound,          // no window with the caption at the first look-up: nothing clicked
    ClickedThrough,    // every click of the script was made
    LimitReached,      // a wait ended at its limit; the run goes on
    StoppedAnswering,  // its window's thread answered nothing within the wait limit
};

using orvitex::ToText;
// The report's words: "not found", "clicked through", "limit reached",
// "stopped answering".
[[nodiscard]] std::u16string_view ToText(ScriptOutcome outcome);

// A wizard the script found but did not click through: the run did not finish its work.
[[nodiscard]] constexpr bool LeftUndone(ScriptOutcome outcome) {
    return outcome != ScriptOutcome::NotFound && outcome != ScriptOutcome::ClickedThrough;
}

// The waits the text leaves open-ended get a limit.
struct WaitLimits {
    std::chrono::milliseconds replacementWait = std::chrono::minutes(10);
    std::chrono::milliseconds clickUntilGone = std::chrono::minutes(10);
};

// One click of a script: its point in 96-dpi layout pixels and what was under it.
struct ClickRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::optional<platform::WindowAtCursor> hit;
};
using ClickObserver = std::function<void(const ClickRecord&)>;

// "click at 603,435 (physical 905,653) on Button '다음 >' in 'IHIRADUR 1.0 설치' of
// IHiraDurSetupSW0421.exe"; "on no window" where nothing is under the cursor.
[[nodiscard]] std::u16string ClickLine(const ClickRecord& click);

class WindowScripts {
public:
    WindowScripts(platform::Desktop& desktop, WaitLimits limits)
        : desktop_(desktop), limits_(limits) {}

    // Runs one script against the wizard window with this exact caption; onClick
    // hears of each click just before the press.
    [[nodiscard]] ScriptOutcome Run(WizardScript script, std::u16string_view caption,
                                    const ClickObserver& onClick = {});

    // One rectangle for every script of a run: zeros at first; a failed read keeps it.
    [[nodiscard]] const platform::ScreenRect& LastRect() const { return rect_; }

private:
    platform::Desktop& desktop_;
    WaitLimits limits_;
    platform::ScreenRect rect_;
};

}  // namespace orvitex::install
