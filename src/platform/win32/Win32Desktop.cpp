#include "platform/win32/Win32Desktop.h"

#include <string>

#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

HWND ToHwnd(platform::ForeignWindow window) {
    return reinterpret_cast<HWND>(window.Handle());
}

}  // namespace

platform::ForeignWindow Win32Desktop::FindWindowByCaption(std::u16string_view caption) {
    const std::u16string text(caption);
    return platform::ForeignWindow(
        reinterpret_cast<std::uintptr_t>(FindWindowW(nullptr, Wide(text))));
}

bool Win32Desktop::GetWindowRect(platform::ForeignWindow window, platform::ScreenRect& rect) {
    RECT r{};
    if (!::GetWindowRect(ToHwnd(window), &r))
        return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

void Win32Desktop::MakeTopmost(platform::ForeignWindow window, const platform::ScreenRect& rect) {
    SetWindowPos(ToHwnd(window), HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_FRAMECHANGED);
}

void Win32Desktop::MoveCursor(std::int32_t x, std::int32_t y) {
    SetCursorPos(x, y);
}

void Win32Desktop::LeftClick() {
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
    ::Sleep(duration.count() > 0 ? static_cast<DWORD>(duration.count()) : 0);
}

std::chrono::milliseconds Win32Desktop::Now() {
    return std::chrono::milliseconds(static_cast<std::int64_t>(GetTickCount64()));
}

}  // namespace orvitex::win32
