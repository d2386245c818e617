#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "message/CompletionLayout.h"
#include "message/win32/CompletionWindowWin32.h"

namespace orvitex::message {
namespace {

using testing::ProgramEnded;
using testing::WindowFixture;

// What the timer sees of the completion window while it waits modally.
struct Observed {
    HWND main = nullptr;
    HWND window = nullptr;
    RECT outer{};
    RECT client{};
    bool mainEnabled = true;
    enum class Then { Close, ClickBody, ClickCaption } then = Then::Close;
};
Observed* observed = nullptr;

BOOL CALLBACK FindOther(HWND window, LPARAM) {
    wchar_t name[32]{};
    GetClassNameW(window, name, 32);
    if (window != observed->main && std::wstring(name) == L"OrvitexForm" &&
        IsWindowVisible(window)) {
        observed->window = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTimer(HWND timerWindow, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindOther, 0);
    if (!observed->window) {
        return;
    }
    KillTimer(timerWindow, id);
    GetWindowRect(observed->window, &observed->outer);
    GetClientRect(observed->window, &observed->client);
    observed->mainEnabled = IsWindowEnabled(observed->main);
    HWND panel = GetDlgItem(observed->window, forms::kFirstControlId);
    HWND body = GetDlgItem(panel, forms::kFirstControlId + 5);
    switch (observed->then) {
        case Observed::Then::Close:
            PostMessageW(observed->window, WM_CLOSE, 0, 0);
            break;
        case Observed::Then::ClickBody:
            PostMessageW(body, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            PostMessageW(body, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            break;
        case Observed::Then::ClickCaption:
            PostMessageW(GetDlgItem(body, forms::kFirstControlId + 6), WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(2, 2));
            break;
    }
}

void Show(WindowFixture& f, Observed& seen) {
    seen.main = f.main.Window().Handle();
    observed = &seen;
    SetTimer(seen.main, 1, 20, OnTimer);
    win32::ShowCompletionWindow(f.app, f.main.Window(), f.ui, false);
}

TEST(CompletionWindowOnScreen, CentredOverTheMainWindowAndTheCloseBoxReturns) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    f.main.Move({0, 3000});  // the run moves it to the left edge
    f.main.Window().Show();
    Observed seen;
    Show(f, seen);
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.client.right, f.Px(6855));
    EXPECT_EQ(seen.client.bottom, f.Px(2655));
    EXPECT_FALSE(seen.mainEnabled) << "the main window takes no input meanwhile";
    RECT main{};
    GetWindowRect(seen.main, &main);
    EXPECT_NEAR((seen.outer.left + seen.outer.right) / 2.0, (main.left + main.right) / 2.0, 1);
    EXPECT_NEAR((seen.outer.top + seen.outer.bottom) / 2.0, (main.top + main.bottom) / 2.0, 1);
    EXPECT_FALSE(IsWindow(seen.window));
    EXPECT_TRUE(IsWindowEnabled(seen.main));
    EXPECT_TRUE(IsWindowVisible(seen.main)) << "the main window stays";
    const auto style = GetWindowLongW(seen.main, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
}

TEST(CompletionWindowOnScreen, EitherPartOfTheButtonEndsTheProgramComplete) {
    for (const auto then : {Observed::Then::ClickBody, Observed::Then::ClickCaption}) {
        SCOPED_TRACE(then == Observed::Then::ClickBody ? "Picture6" : "Label1");
        WindowFixture f;
        f.main.Logic().Form_Load();
        f.main.Window().Show();
        Observed seen;
        seen.then = then;
        try {
            Show(f, seen);
            ADD_FAILURE() << "the window returned instead of ending the program";
        } catch (const ProgramEnded& ended) {
            EXPECT_EQ(ended.exitCode, 0);
        }
    }
}

TEST(CompletionWindowOnScreen, QuietRunPressesTheButtonItself) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    f.main.Window().Show();
    try {
        win32::ShowCompletionWindow(f.app, f.main.Window(), f.ui, true);
        ADD_FAILURE() << "no end";
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, 0);
    }
}

}  // namespace
}  // namespace orvitex::message
