#pragma once
#include "platform/win32/Win32Api.h"

#include <functional>

#include "platform/Desktop.h"

namespace orvitex::win32 {

// Other programs' windows and synthesised mouse input through user32; real sleeps
// and a monotonic clock. Rectangles and cursor positions are pixels of a 96-dpi
// layout, whatever the display's scaling and the program's own DPI awareness:
// each call runs DPI-unaware and Windows maps it, or, before Windows 10 1607,
// it is scaled here by the system's DPI.
class Win32Desktop : public platform::Desktop {
public:
    // yield: the program's own message loop step, so that a failure kept by a
    // window event is thrown here exactly as from the run's other yields. serve:
    // the same step without what ends a run (a closed window), for sleeps and
    // blocking calls, which end only when their time or their call does.
    Win32Desktop(std::function<void()> yield, std::function<void()> serve)
        : yield_(std::move(yield)), serve_(std::move(serve)) {}

    [[nodiscard]] platform::ForeignWindow FindWindowByCaption(std::u16string_view caption) override;
    [[nodiscard]] bool GetWindowRect(platform::ForeignWindow window,
                                     platform::ScreenRect& rect) override;
    void MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect& rect) override;
    [[nodiscard]] bool Answers(platform::ForeignWindow window,
                               std::chrono::milliseconds limit) override;
    void MoveCursor(std::int32_t x, std::int32_t y) override;
    void LeftClick() override;
    [[nodiscard]] std::optional<platform::WindowAtCursor> WindowUnderCursor() override;
    void Yield() override;
    void WaitForEvents(std::chrono::milliseconds limit) override;
    void Sleep(std::chrono::milliseconds duration) override;
    void RunBlockingCall(const std::function<void()>& call) override;
    [[nodiscard]] std::chrono::milliseconds Now() override;
    [[nodiscard]] platform::InputDesktopFacts ReadInputDesktop() override;
    [[nodiscard]] std::optional<std::u16string> SaveScreenPicture(
        std::u16string_view path) override;

private:
    std::function<void()> yield_;
    std::function<void()> serve_;
};

}  // namespace orvitex::win32
