#pragma once
// A desktop that adds up the time it was asked to sleep, so that the run log can
// tell the fixed sleeps of a run from the time its wizards took.
#include <chrono>

#include "platform/Desktop.h"

namespace orvitex::install {

class SleepTally final : public platform::Desktop {
public:
    explicit SleepTally(platform::Desktop& desktop) : desktop_(desktop) {}

    [[nodiscard]] std::chrono::milliseconds Slept() const { return slept_; }

    [[nodiscard]] platform::ForeignWindow FindWindowByCaption(
        std::u16string_view caption) override {
        return desktop_.FindWindowByCaption(caption);
    }
    [[nodiscard]] bool GetWindowRect(platform::ForeignWindow window,
                                     platform::ScreenRect& rect) override {
        return desktop_.GetWindowRect(window, rect);
    }
    void MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect& rect) override {
        desktop_.MakeTopmost(window, rect);
    }
    void MoveCursor(std::int32_t x, std::int32_t y) override { desktop_.MoveCursor(x, y); }
    void LeftClick() override { desktop_.LeftClick(); }
    void Yield() override { desktop_.Yield(); }
    void WaitForEvents(std::chrono::milliseconds limit) override { desktop_.WaitForEvents(limit); }
    void Sleep(std::chrono::milliseconds duration) override {
        slept_ += duration;
        desktop_.Sleep(duration);
    }
    [[nodiscard]] std::chrono::milliseconds Now() override { return desktop_.Now(); }

private:
    platform::Desktop& desktop_;
    std::chrono::milliseconds slept_{0};
};

}  // namespace orvitex::install
