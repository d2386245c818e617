#include "platform/win32/Win32Desktop.h"

#include <algorithm>
#include <string>

#include "platform/DpiScaling.h"
#include "platform/win32/BlockingCall.h"
#include "platform/win32/NewerApi.h"
#include "platform/win32/ScreenPicture.h"
#include "platform/win32/WideString.h"
#include "platform/win32/Win32InputDesktop.h"

namespace orvitex::win32 {
namespace {

using namespace std::chrono_literals;

// How long one question to another program's window may take before it is asked
// again; between questions this program's own windows are served.
constexpr auto kAnswerSlice = 100ms;
// How long a wizard has to take up a new position before the click goes on anyway.
constexpr auto kTopmostSettle = 1000ms;
// How long the cursor has to arrive where it was set (Wine moves it asynchronously).
constexpr auto kCursorSettle = 500ms;

HWND ToHwnd(platform::ForeignWindow window) {
    return reinterpret_cast<HWND>(window.Handle());
}

DWORD Milliseconds(std::chrono::milliseconds duration) {
    return duration.count() > 0 ? static_cast<DWORD>(duration.count()) : 0;
}

// The calling thread DPI-unaware for one call: Windows then reports rectangles
// and maps cursor positions in 96-dpi pixels, for scaled and unscaled windows alike.
class DpiUnawareCall {
public:
    DpiUnawareCall() {
        if (Newer().SetThreadDpiAwarenessContext) {
            previous_ = Newer().SetThreadDpiAwarenessContext(kDpiUnawareContext);
        }
    }
    ~DpiUnawareCall() {
        if (previous_) {
            Newer().SetThreadDpiAwarenessContext(previous_);
        }
    }
    DpiUnawareCall(const DpiUnawareCall&) = delete;
    DpiUnawareCall& operator=(const DpiUnawareCall&) = delete;

    // The DPI to scale by where Windows does not: a DPI-aware caller sees even an
    // unscaled wizard in physical pixels, so the window's own DPI (96) would be wrong.
    [[nodiscard]] UINT ScalingDpi() const { return previous_ ? platform::kLayoutDpi : SystemDpi(); }

private:
    DpiAwarenessContext previous_ = nullptr;
};

}  // namespace

platform::ForeignWindow Win32Desktop::FindWindowByCaption(std::u16string_view caption) {
    const std::u16string text(caption);
    const DpiUnawareCall unaware;
    return platform::ForeignWindow(
        reinterpret_cast<std::uintptr_t>(FindWindowW(nullptr, Wide(text))));
}

bool Win32Desktop::GetWindowRect(platform::ForeignWindow window, platform::ScreenRect& rect) {
    const DpiUnawareCall unaware;
    RECT r{};
    if (!::GetWindowRect(ToHwnd(window), &r))
        return false;
    rect = platform::ToLayout({r.left, r.top, r.right, r.bottom}, unaware.ScalingDpi());
    return true;
}

void Win32Desktop::MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect& rect) {
    const DpiUnawareCall unaware;
    RECT r{};
    ::GetWindowRect(ToHwnd(window), &r);
    const platform::ScreenRect to =
        platform::ToPhysical(rect, {r.left, r.top, r.right, r.bottom}, unaware.ScalingDpi());
    // Posted, not sent: a wizard whose thread hangs cannot hold the run here. The
    // answer to a later message means the move has been made, since a thread takes
    // such requests in the order they came.
    SetWindowPos(ToHwnd(window), HWND_TOPMOST, to.left, to.top, to.right - to.left,
                 to.bottom - to.top, SWP_FRAMECHANGED | SWP_ASYNCWINDOWPOS);
    static_cast<void>(Answers(window, kTopmostSettle));
}

bool Win32Desktop::Answers(platform::ForeignWindow window, std::chrono::milliseconds limit) {
    const auto deadline = Now() + limit;
    for (;;) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(ToHwnd(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                Milliseconds(kAnswerSlice), &result)) {
            return true;
        }
        const auto left = deadline - Now();
        if (!IsWindow(ToHwnd(window)) || left <= 0ms)
            return false;
        Sleep(std::min<std::chrono::milliseconds>(kAnswerSlice, left));
    }
}

// Waits, bounded, until the cursor is where it was set, so the click that follows
// lands there; on Windows it already is.
void Win32Desktop::MoveCursor(std::int32_t x, std::int32_t y) {
    const DpiUnawareCall unaware;
    const POINT to{platform::ToPhysicalPixels(x, unaware.ScalingDpi()),
                   platform::ToPhysicalPixels(y, unaware.ScalingDpi())};
    if (!SetCursorPos(to.x, to.y))
        return;
    const auto deadline = Now() + kCursorSettle;
    for (POINT at{}; GetCursorPos(&at) && (at.x != to.x || at.y != to.y) && Now() < deadline;) {
        ::Sleep(1);
    }
}

void Win32Desktop::LeftClick() {
    const DpiUnawareCall unaware;
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// A quit request met here is posted again, so the message loop that owns it still ends.
void Win32Desktop::Yield() {
    if (yield_) {
        yield_();
        return;
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Desktop::WaitForEvents(std::chrono::milliseconds limit) {
    const auto ms = limit.count() > 0 ? static_cast<DWORD>(limit.count()) : 0;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

void Win32Desktop::Sleep(std::chrono::milliseconds duration) {
    const auto deadline = Now() + duration;
    for (auto left = duration; left > 0ms; left = deadline - Now()) {
        if (!serve_ || QuitPending()) {
            ::Sleep(Milliseconds(left));
            return;
        }
        if (MsgWaitForMultipleObjectsEx(0, nullptr, Milliseconds(left), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
            serve_();
        }
    }
}

void Win32Desktop::RunBlockingCall(const std::function<void()>& call) {
    if (!serve_) {
        call();
        return;
    }
    RunWhileServing(call, serve_);
}

std::chrono::milliseconds Win32Desktop::Now() {
    return std::chrono::milliseconds(static_cast<std::int64_t>(GetTickCount64()));
}

platform::InputDesktopFacts Win32Desktop::ReadInputDesktop() {
    return win32::ReadInputDesktop();
}

std::optional<std::u16string> Win32Desktop::SaveScreenPicture(std::u16string_view path) {
    return win32::SaveScreenPicture(path);
}

}  // namespace orvitex::win32
