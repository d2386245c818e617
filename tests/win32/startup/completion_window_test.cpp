#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "message/CompletionLayout.h"
#include "message/win32/CompletionWindowWin32.h"
#include "platform/Text.h"
#include "platform/win32/WideString.h"
#include "platform/win32/forms/Foreground.h"

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
    HWND foreground = nullptr;
    std::vector<std::string> controls;  // "text @ left,top" of each control, in table order
    enum class Then { Close, ClickBody, ClickCaption, DragCaptionAway } then = Then::Close;
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

void CALLBACK CloseBox(HWND timerWindow, UINT, UINT_PTR id, DWORD) {
    KillTimer(timerWindow, id);
    PostMessageW(observed->window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// A real press on "확 인", dragged off it before the release.
void DragAway(HWND caption) {
    RECT r{};
    GetClientRect(caption, &r);
    POINT p{r.right / 2, r.bottom / 2};
    ClientToScreen(caption, &p);
    SetCursorPos(p.x, p.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    SetCursorPos(p.x, p.y - 60);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
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
    observed->foreground = GetForegroundWindow();
    observed->style = GetWindowLongW(observed->window, GWL_STYLE);
    observed->exStyle = GetWindowLongW(observed->window, GWL_EXSTYLE);
    RecordControls(*observed);
    HWND panel = GetDlgItem(observed->window, forms::kFirstControlId);
    HWND body = GetDlgItem(panel, forms::kFirstControlId + 5);
    HWND caption = GetDlgItem(body, forms::kFirstControlId + 6);
    switch (observed->then) {
        case Observed::Then::Close:
            PostMessageW(observed->window, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Observed::Then::ClickBody:
        case Observed::Then::ClickCaption: {
            HWND target = observed->then == Observed::Then::ClickBody ? body : caption;
            PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            break;
        }
        case Observed::Then::DragCaptionAway:
            DragAway(caption);
            SetTimer(timerWindow, 2, 300, CloseBox);  // after the input, which comes first
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

// Another program's window in front, as a setup wizard is after the run's clicks.
struct OtherProgram {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;

    OtherProgram() {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        wchar_t command[] = L"notepad.exe";
        if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            return;
        }
        WaitForInputIdle(process.hProcess, 10000);
        for (int round = 0; round < 100 && !window; ++round, Sleep(100)) {
            EnumWindows(
                [](HWND w, LPARAM self) {
                    auto* other = reinterpret_cast<OtherProgram*>(self);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    const bool found = pid == other->process.dwProcessId && IsWindowVisible(w);
                    other->window = found ? w : other->window;
                    return found ? FALSE : TRUE;
                },
                reinterpret_cast<LPARAM>(this));
        }
        SetForegroundWindow(window);
    }
    ~OtherProgram() {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 0);
            WaitForSingleObject(process.hProcess, 10000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
};

// After a run that left a wizard in front: the window comes to the front, a press
// dragged off "확 인" ends nothing, and the close box gives the main window back.
TEST(CompletionWindowOnScreen, TakesTheForegroundFromAnotherProgramAndLeavesItToTheMainWindow) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    f.main.Window().Show();
    OtherProgram wizard;
    ASSERT_NE(wizard.window, nullptr);
    ASSERT_EQ(GetForegroundWindow(), wizard.window);
    Observed seen;
    seen.then = Observed::Then::DragCaptionAway;
    EXPECT_NO_THROW(Show(f, seen)) << "the dragged press ended the program";
    EXPECT_EQ(seen.foreground, seen.window);
    EXPECT_EQ(GetForegroundWindow(), seen.main) << "not the other program's window";
}

// Wine has no foreground lock; this is what Windows gets when it refuses.
TEST(ComeToFront, FlashesUntilBroughtUpWhenTheForegroundIsRefused) {
    static HWND foreground;
    static std::vector<FLASHWINFO> flashes;
    const forms::win32::ForegroundCalls granted{
        [](HWND window) { return foreground = window, TRUE; }, [] { return foreground; },
        [](PFLASHWINFO info) { return flashes.push_back(*info), TRUE; }};
    forms::win32::ForegroundCalls refused = granted;
    refused.setForeground = [](HWND) { return FALSE; };
    HWND window = reinterpret_cast<HWND>(0x1234);
    for (const bool grant : {true, false}) {
        SCOPED_TRACE(grant ? "granted" : "refused");
        foreground = reinterpret_cast<HWND>(0x99);
        flashes.clear();
        forms::win32::ComeToFront(window, grant ? granted : refused);
        EXPECT_EQ(foreground == window, grant);
        ASSERT_EQ(flashes.size(), grant ? 0u : 1u);
        if (!grant) {
            EXPECT_EQ(flashes[0].hwnd, window);
            EXPECT_EQ(flashes[0].dwFlags, DWORD{FLASHW_ALL | FLASHW_TIMERNOFG});
        }
    }
}

}  // namespace
}  // namespace orvitex::message
