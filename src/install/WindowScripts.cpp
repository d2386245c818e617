#include "install/WindowScripts.h"

#include <cstdint>

#include "install/RunTimings.h"
#include "platform/Text.h"

namespace orvitex::install {
namespace {

using platform::ForeignWindow;
constexpr const RunTimings& kT = kRunTimings;

// Offsets in pixels of a 96-dpi layout, from the top-left corner (A, B, C) or
// back from the bottom-right corner (D).
struct ClickPoint {
    std::int32_t dx;
    std::int32_t dy;
    bool fromBottomRight = false;
};
constexpr ClickPoint kA{350, 315};
constexpr ClickPoint kB{350, 365};
constexpr ClickPoint kC{400, 115};
constexpr ClickPoint kD{25, 25, true};

// Thrown out of a script whose wizard no longer answers: it cannot be clicked through.
struct StoppedAnswering {};

// The primitive steps of the scripts, over one caption and the shared rectangle.
class Steps {
public:
    Steps(platform::Desktop& desktop, platform::ScreenRect& rect, std::u16string_view caption,
          const ClickObserver& onClick, std::chrono::milliseconds answerLimit)
        : desktop_(desktop),
          rect_(rect),
          caption_(caption),
          onClick_(onClick),
          answerLimit_(answerLimit) {}

    ForeignWindow Find() { return desktop_.FindWindowByCaption(caption_); }
    // A failed read keeps the rectangle: the next click uses the one read before.
    void Read(ForeignWindow window) { static_cast<void>(desktop_.GetWindowRect(window, rect_)); }
    // A window that is gone answers nothing either, but that is no hang.
    void Pin(ForeignWindow window) {
        Read(window);
        desktop_.MakeTopmost(window, rect_);
        platform::ScreenRect still;
        if (!desktop_.Answers(window, answerLimit_) && desktop_.GetWindowRect(window, still)) {
            throw StoppedAnswering{};
        }
    }
    void Click(ClickPoint p) {
        const ClickRecord at = p.fromBottomRight
                                   ? ClickRecord{rect_.right - p.dx, rect_.bottom - p.dy, {}}
                                   : ClickRecord{rect_.left + p.dx, rect_.top + p.dy, {}};
        desktop_.MoveCursor(at.x, at.y);
        if (onClick_) {
            onClick_({at.x, at.y, desktop_.WindowUnderCursor()});
        }
        desktop_.LeftClick();
    }
    void Yield() { desktop_.Yield(); }
    void Sleep(std::chrono::milliseconds duration) { desktop_.Sleep(duration); }

    // Until a window with the caption exists that is not the one seen at the start.
    [[nodiscard]] bool AwaitReplacement(std::chrono::milliseconds limit) {
        const auto deadline = desktop_.Now() + limit;
        const ForeignWindow saved = Find();
        for (;;) {
            const ForeignWindow first = Find();
            const ForeignWindow second = Find();
            if (first != saved && second) {
                return true;
            }
            if (desktop_.Now() >= deadline) {
                return false;
            }
            Yield();
            desktop_.WaitForEvents(kT.pollPause);
        }
    }

    // Clicks at B while any window with the caption is left, pinning the first one.
    [[nodiscard]] bool ClickUntilGone(ForeignWindow first, std::chrono::milliseconds limit) {
        const auto deadline = desktop_.Now() + limit;
        while (Find()) {
            if (desktop_.Now() >= deadline) {
                return false;
            }
            Pin(first);
            Click(kB);
            Sleep(kT.betweenClicksAtB);
        }
        return true;
    }

private:
    platform::Desktop& desktop_;
    platform::ScreenRect& rect_;
    std::u16string_view caption_;
    const ClickObserver& onClick_;
    std::chrono::milliseconds answerLimit_;
};

std::u16string Point(std::int32_t x, std::int32_t y) {
    return ToText(std::int64_t{x}) + u"," + ToText(std::int64_t{y});
}

void TwoClicksAtA(Steps& s, ForeignWindow h) {
    s.Pin(h);
    s.Click(kA);
    s.Yield();
    s.Pin(h);
    s.Click(kA);
    s.Sleep(kT.afterTwoClicks);
}

void CloseMainSetup(Steps& s) {
    s.Yield();
    ForeignWindow h = s.Find();
    s.Yield();
    s.Pin(h);
    s.Click(kD);
    s.Sleep(kT.mainBetweenFinishClicks);
    h = s.Find();
    s.Read(h);
    s.Click(kD);
}

void CloseUpdateSetup(Steps& s) {
    s.Yield();
    ForeignWindow h = s.Find();
    s.Pin(h);
    s.Click(kD);
    s.Sleep(kT.updateAfterFirstFinish);
    s.Yield();
    h = s.Find();
    s.Pin(h);
    s.Click(kD);
    s.Sleep(kT.updateAfterSecondFinish);
    s.Yield();
}

ScriptOutcome RunSteps(Steps& s, WizardScript script, const WaitLimits& limits) {
    const ForeignWindow h = s.Find();
    if (!h) {
        return ScriptOutcome::NotFound;
    }
    switch (script) {
        case WizardScript::MainSetup:
        case WizardScript::UpdateSetup:
            TwoClicksAtA(s, h);
            if (!s.AwaitReplacement(limits.replacementWait)) {
                return ScriptOutcome::LimitReached;
            }
            s.Sleep(kT.beforeFinish);
            script == WizardScript::MainSetup ? CloseMainSetup(s) : CloseUpdateSetup(s);
            break;
        case WizardScript::ClickUntilGone:
            if (!s.ClickUntilGone(h, limits.clickUntilGone)) {
                return ScriptOutcome::LimitReached;
            }
            break;
        case WizardScript::SingleClick:
            s.Pin(h);
            s.Click(kC);
            break;
        case WizardScript::TwoClicks:
            TwoClicksAtA(s, h);
            break;
    }
    return ScriptOutcome::ClickedThrough;
}

}  // namespace

std::u16string_view ToText(ScriptOutcome outcome) {
    switch (outcome) {
        case ScriptOutcome::NotFound:
            return u"not found";
        case ScriptOutcome::ClickedThrough:
            return u"clicked through";
        case ScriptOutcome::StoppedAnswering:
            return u"stopped answering";
        case ScriptOutcome::LimitReached:
            break;
    }
    return u"limit reached";
}

std::u16string ClickLine(const ClickRecord& click) {
    std::u16string line = u"click at " + Point(click.x, click.y);
    if (!click.hit) {
        return line;
    }
    const platform::WindowAtCursor& hit = *click.hit;
    line += u" (physical " + Point(hit.physicalX, hit.physicalY) + u")";
    if (hit.windowClass.empty()) {
        return line + u" on no window";
    }
    return line + u" on " + hit.windowClass + u" '" + hit.text + u"' in '" + hit.topLevelCaption +
           u"' of " + (hit.processImage.empty() ? u"an unknown program" : hit.processImage);
}

ScriptOutcome WindowScripts::Run(WizardScript script, std::u16string_view caption,
                                 const ClickObserver& onClick) {
    Steps s(desktop_, rect_, caption, onClick, limits_.replacementWait);
    try {
        return RunSteps(s, script, limits_);
    } catch (const StoppedAnswering&) {
        return ScriptOutcome::StoppedAnswering;
    }
}

}  // namespace orvitex::install
