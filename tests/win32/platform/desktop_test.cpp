// Win32Desktop against a real top-level window of the test program, under the
// harness's Xvfb display.
#include "platform/win32/Win32Api.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/Win32Desktop.h"

namespace orvitex::win32 {
namespace {

constexpr const wchar_t* kClassName = L"OrvitexDesktopTest";
constexpr const char16_t* kCaption =
    u"\xC624\xB974\xBE44 \xC124\xCE58 \xD14C\xC2A4\xD2B8";  // 오르비 설치 테스트

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<std::vector<Received>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (log && message >= WM_APP) {
        log->push_back({message, wParam, lParam});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<HWND__, WindowDeleter>;

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
        window_.reset(CreateWindowExW(0, kClassName, reinterpret_cast<const wchar_t*>(kCaption),
                                      WS_OVERLAPPEDWINDOW, 120, 110, 320, 240, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        ASSERT_TRUE(window_);
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received_));
        ShowWindow(window_.get(), SW_SHOWNORMAL);
        UpdateWindow(window_.get());
        desktop_.Yield();
        received_.clear();
    }

    platform::ForeignWindow Handle() const {
        return platform::ForeignWindow(reinterpret_cast<std::uintptr_t>(window_.get()));
    }

    std::vector<Received> received_;
    UniqueWindow window_;
    Win32Desktop desktop_;
};

TEST_F(Desktop, FindsATopLevelWindowByItsExactCaptionOnly) {
    EXPECT_EQ(desktop_.FindWindowByCaption(kCaption), Handle());
    // A prefix, a trailing blank or a shorter caption is another window.
    for (const char16_t* other :
         {u"\xC624\xB974\xBE44", u"\xC624\xB974\xBE44 \xC124\xCE58 \xD14C\xC2A4\xD2B8 ",
          u"\xC624\xB974\xBE44 \xC124\xCE58"}) {
        EXPECT_FALSE(desktop_.FindWindowByCaption(other));
    }
    window_.reset();
    EXPECT_FALSE(desktop_.FindWindowByCaption(kCaption));
}

TEST_F(Desktop, PinningMakesTheWindowTopmostWhereItStands) {
    platform::ScreenRect rect;
    ASSERT_TRUE(desktop_.GetWindowRect(Handle(), rect));
    RECT expected{};
    ASSERT_TRUE(::GetWindowRect(window_.get(), &expected));
    EXPECT_EQ(rect,
              (platform::ScreenRect{expected.left, expected.top, expected.right, expected.bottom}));

    desktop_.MakeTopmost(Handle(), rect);
    EXPECT_TRUE(GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    platform::ScreenRect after;
    ASSERT_TRUE(desktop_.GetWindowRect(Handle(), after));
    EXPECT_EQ(after, rect);
}

TEST_F(Desktop, ReadingAGoneWindowFailsAndLeavesTheRectangle) {
    const platform::ForeignWindow gone = Handle();
    window_.reset();
    platform::ScreenRect rect{1, 2, 3, 4};
    EXPECT_FALSE(desktop_.GetWindowRect(gone, rect));
    EXPECT_EQ(rect, (platform::ScreenRect{1, 2, 3, 4}));
    desktop_.MakeTopmost(gone, rect);  // ignored, as the scripts expect
}

TEST_F(Desktop, YieldDispatchesWhatIsPendingAndKeepsAQuitRequest) {
    for (WPARAM i = 1; i <= 3; ++i)
        PostMessageW(window_.get(), WM_APP, i, 0);
    desktop_.Yield();
    ASSERT_EQ(received_.size(), 3u);
    EXPECT_EQ(received_.back().wParam, 3u);

    PostQuitMessage(7);
    desktop_.Yield();
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace orvitex::win32
