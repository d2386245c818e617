#pragma once
// A desktop that adds up the time it was asked to sleep and the time it spent on the
// wizards' windows, so that the run log can tell both from the program's own time.
// A call that reaches another program's window waits for that program: a wizard
// that is closing holds SetWindowPos until its window is gone. With a log, each
// fixed sleep is logged as it begins and as it ends, so that what the window did
// meanwhile can be placed between the two lines.
#include <chrono>

#include "install/RunLog.h"
#include "platform/Desktop.h"
#include "platform/Text.h"

namespace orvitex::install {

class SleepTally final : public platform::Desktop {
public:
    explicit SleepTally(platform::Desktop& desktop, RunLog* log = nullptr)
        : desktop_(desktop), log_(log) {}

    [[nodiscard]] std::chrono::milliseconds Slept() const { return slept_; }
    [[nodiscard]] std::chrono::milliseconds Waited() const { return waited_; }

    [[nodiscard]] platform::ForeignWindow FindWindowByCaption(
        std::u16string_view caption) override {
        const Waiting waiting(*this);
        return desktop_.FindWindowByCaption(caption);
    }
    [[nodiscard]] bool GetWindowRect(platform::ForeignWindow window,
                                     platform::ScreenRect& rect) override {
        const Waiting waiting(*this);
        return desktop_.GetWindowRect(window, rect);
    }
    void MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect& rect) override {
        const Waiting waiting(*this);
        desktop_.MakeTopmost(window, rect);
    }
    [[nodiscard]] bool Answers(platform::ForeignWindow window,
                               std::chrono::milliseconds limit) override {
        const Waiting waiting(*this);
        return desktop_.Answers(window, limit);
    }
    void MoveCursor(std::int32_t x, std::int32_t y) override { desktop_.MoveCursor(x, y); }
    void LeftClick() override { desktop_.LeftClick(); }
    [[nodiscard]] std::optional<platform::WindowAtCursor> WindowUnderCursor() override {
        return desktop_.WindowUnderCursor();
    }
    void Yield() override { desktop_.Yield(); }
    void WaitForEvents(std::chrono::milliseconds limit) override {
        const Waiting waiting(*this);
        desktop_.WaitForEvents(limit);
    }
    void Sleep(std::chrono::milliseconds duration) override {
        slept_ += duration;
        const std::u16string ms = ToText(std::int64_t{duration.count()}) + u" ms";
        if (log_) {
            log_->Line(u"sleeping " + ms);
        }
        desktop_.Sleep(duration);
        if (log_) {
            log_->Line(u"slept " + ms);
        }
    }
    void RunBlockingCall(const std::function<void()>& call) override {
        desktop_.RunBlockingCall(call);
    }
    [[nodiscard]] std::chrono::milliseconds Now() override { return desktop_.Now(); }
    [[nodiscard]] platform::InputDesktopFacts ReadInputDesktop() override {
        return desktop_.ReadInputDesktop();
    }
    [[nodiscard]] std::optional<std::u16string> SaveScreenPicture(
        std::u16string_view path) override {
        return desktop_.SaveScreenPicture(path);
    }

private:
    // Adds the time from its making to its end to the time spent on the wizards.
    class Waiting {
    public:
        explicit Waiting(SleepTally& tally) : tally_(tally), from_(tally.desktop_.Now()) {}
        ~Waiting() { tally_.waited_ += tally_.desktop_.Now() - from_; }
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;

    private:
        SleepTally& tally_;
        std::chrono::milliseconds from_;
    };

    platform::Desktop& desktop_;
    RunLog* log_;
    std::chrono::milliseconds slept_{0};
    std::chrono::milliseconds waited_{0};
};

}  // namespace orvitex::install
