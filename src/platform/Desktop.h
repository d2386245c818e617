#pragma once
// Other programs' top-level windows, the mouse, and time. Sleep and the clock live
// here so that window scripts can run in virtual time under test.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/InputDesktop.h"

namespace orvitex::platform {

// A top-level window of another program, found by caption. Owns nothing: it can
// be compared and passed back to the desktop, never destroyed through this type.
class ForeignWindow {
public:
    constexpr ForeignWindow() = default;
    constexpr explicit ForeignWindow(std::uintptr_t handle) : handle_(handle) {}
    constexpr std::uintptr_t Handle() const { return handle_; }
    constexpr explicit operator bool() const { return handle_ != 0; }
    friend constexpr bool operator==(ForeignWindow, ForeignWindow) = default;

private:
    std::uintptr_t handle_ = 0;
};

struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend constexpr bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The window a press at the cursor lands on, read just before the press.
struct WindowAtCursor {
    std::int32_t physicalX = 0;  // the cursor in the display's own pixels
    std::int32_t physicalY = 0;
    std::u16string windowClass;  // empty when no window is there
    std::u16string text;
    std::u16string topLevelCaption;
    std::u16string processImage;  // the file name of its program
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // A top-level window whose title equals caption exactly, or an empty handle.
    [[nodiscard]] virtual ForeignWindow FindWindowByCaption(std::u16string_view caption) = 0;
    // Screen pixels. On failure returns false and leaves rect unchanged.
    [[nodiscard]] virtual bool GetWindowRect(ForeignWindow window, ScreenRect& rect) = 0;
    // Topmost at the given position and size (SWP_FRAMECHANGED); failures are ignored.
    // Never waits on the window's thread: a hung wizard cannot hold the caller.
    virtual void MakeTopmost(ForeignWindow window, const ScreenRect& rect) = 0;
    // Whether the window's thread answers a message within limit. A window that is
    // gone answers nothing; the fakes' windows always answer.
    [[nodiscard]] virtual bool Answers(ForeignWindow /*window*/,
                                       std::chrono::milliseconds /*limit*/) {
        return true;
    }
    virtual void MoveCursor(std::int32_t x, std::int32_t y) = 0;
    // Left button down, then up, with no delay between.
    virtual void LeftClick() = 0;
    // Empty where the desktop cannot tell.
    [[nodiscard]] virtual std::optional<WindowAtCursor> WindowUnderCursor() { return {}; }
    // Processes every pending event of the program's own windows, then returns.
    virtual void Yield() = 0;
    // Returns when an event for the program's own windows arrives or the limit
    // passes, whichever is first; a polling loop waits here instead of spinning.
    virtual void WaitForEvents(std::chrono::milliseconds limit) = 0;
    // Lasts the whole duration; the program's own windows stay answered meanwhile,
    // but nothing that could end or advance the run happens inside it.
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
    // Runs one blocking call (a connection, a query, a fetch) where it cannot freeze
    // the program's own windows, and returns when it has, with its exception. Only
    // one call at a time, and the caller does nothing else meanwhile.
    virtual void RunBlockingCall(const std::function<void()>& call) { call(); }
    [[nodiscard]] virtual std::chrono::milliseconds Now() = 0;
    // Where this program's clicks would land. A desktop that cannot tell answers as an
    // interactive one.
    [[nodiscard]] virtual InputDesktopFacts ReadInputDesktop() { return {}; }
    // A PNG of the whole screen at path, for a technician to see what a wizard showed;
    // the reason when none was saved.
    [[nodiscard]] virtual std::optional<std::u16string> SaveScreenPicture(
        std::u16string_view /*path*/) {
        return u"no screen to capture";
    }
};

}  // namespace orvitex::platform
