// Win32Desktop against a real top-level window of the test program. Finding the
// wizards and clicking at their rectangles' points runs in the end-to-end run, as do
// the sleeps and blocking calls that keep the window answered.
#include "platform/win32/Win32Api.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Desktop.h"

namespace orvitex::win32 {
namespace {

using namespace std::chrono_literals;

void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// Bug caught: asking a wizard whose thread hangs waits forever (SendMessage), or a
// live wizard is taken for a hung one.
TEST(Desktop, AWindowWhoseThreadStopsAnsweringIsToldApartWithinTheLimit) {
    const UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle hung(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> hang{false};
    std::thread wizard([&] {
        window = CreateWindowExW(0, L"STATIC", L"OrvitexHangingWizard", WS_OVERLAPPEDWINDOW, 0, 0,
                                 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        MSG message{};
        while (!hang && GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        SetEvent(hung.Get());
        WaitForSingleObject(release.Get(), INFINITE);  // hung: serves nothing
        DestroyWindow(window);
    });
    while (!window) {
        std::this_thread::yield();
    }
    Win32Desktop desktop([] { Pump(); }, [] { Pump(); });
    const platform::ForeignWindow wizardWindow(reinterpret_cast<std::uintptr_t>(window.load()));
    EXPECT_TRUE(desktop.Answers(wizardWindow, 1000ms));
    hang = true;
    PostMessageW(window, WM_NULL, 0, 0);  // wakes its GetMessage to see the flag
    WaitForSingleObject(hung.Get(), INFINITE);
    EXPECT_FALSE(desktop.Answers(wizardWindow, 300ms));
    desktop.MakeTopmost(wizardWindow, {0, 0, 100, 100});  // returns: it only posts
    SetEvent(release.Get());
    wizard.join();
}

// Bug caught: a wizard that another window can cover while its buttons are
// clicked, or that is moved when pinned.
TEST(Desktop, PinningMakesTheWindowTopmostWhereItStands) {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"OrvitexDesktopTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120,
                        110, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    Win32Desktop desktop([] { Pump(); }, [] { Pump(); });
    const platform::ForeignWindow handle = desktop.FindWindowByCaption(u"OrvitexDesktopTest");
    EXPECT_EQ(handle, platform::ForeignWindow(reinterpret_cast<std::uintptr_t>(window)));
    platform::ScreenRect rect;
    ASSERT_TRUE(desktop.GetWindowRect(handle, rect));
    desktop.MakeTopmost(handle, rect);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(rect, (platform::ScreenRect{after.left, after.top, after.right, after.bottom}));
    DestroyWindow(window);
}

}  // namespace
}  // namespace orvitex::win32
