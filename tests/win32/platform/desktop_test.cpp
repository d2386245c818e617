// Win32Desktop against a real top-level window of the test program. Finding the
// wizards and clicking at their rectangles' points runs in the end-to-end run.
#include "platform/win32/Win32Api.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Desktop.h"

namespace orvitex::win32 {
namespace {

// Bug caught: a wizard that another window can cover while its buttons are
// clicked, or that is moved when pinned.
TEST(Desktop, PinningMakesTheWindowTopmostWhereItStands) {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"OrvitexDesktopTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120,
                        110, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    Win32Desktop desktop;
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
