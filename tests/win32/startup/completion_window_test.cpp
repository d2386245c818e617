#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "message/CompletionLayout.h"
#include "message/win32/CompletionWindowWin32.h"
#include "platform/Text.h"
#include "platform/win32/WideString.h"

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
    LONG style = 0;
    LONG exStyle = 0;
    std::vector<std::string> controls;  // "text @ left,top" of each control, in table order
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

std::string Describe(HWND control) {
    wchar_t text[128]{};
    GetWindowTextW(control, text, 128);
    const RECT r = testing::RectInParent(control);
    return ToUtf8(orvitex::win32::FromWide(text)) + " @ " + std::to_string(r.left) + "," +
           std::to_string(r.top);
}

void RecordControls(Observed& seen) {
    const forms::FormTable& table = CompletionForm();
    std::vector<HWND> handles;
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const forms::ControlRef container = table.controls[i].container;
        HWND parent = container.name.empty()
                          ? seen.window
                          : handles[static_cast<std::size_t>(table.IndexOf(container))];
        handles.push_back(GetDlgItem(parent, forms::kFirstControlId + static_cast<int>(i)));
        seen.controls.push_back(handles.back() ? Describe(handles.back()) : "missing");
    }
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
    observed->style = GetWindowLongW(observed->window, GWL_STYLE);
    observed->exStyle = GetWindowLongW(observed->window, GWL_EXSTYLE);
    RecordControls(*observed);
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
    EXPECT_TRUE(seen.exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(seen.style & WS_SYSMENU) << "close box";
    EXPECT_FALSE(seen.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    const forms::FormTable& table = CompletionForm();
    ASSERT_EQ(seen.controls.size(), table.controls.size());
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const forms::ControlRow& c = table.controls[i];
        EXPECT_EQ(seen.controls[i], ToUtf8(c.text) + " @ " + std::to_string(f.Px(c.rect.left)) +
                                        "," + std::to_string(f.Px(c.rect.top)));
    }
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
