// The real main window and completion window on the window system, with services
// that reach nothing: no registry key opens and the main server always answers.
// Where each main window control sits, what it reads, its style, its outlines and
// the run button's clicks are checked on the real program by the end-to-end probe.
#include "platform/win32/Win32Api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RealInput.h"
#include "forms/Geometry.h"
#include "install/MainServer.h"
#include "message/CompletionLayout.h"
#include "message/win32/CompletionWindowWin32.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/Ui.h"
#include "platform/win32/WideString.h"
#include "platform/win32/forms/Application.h"
#include "platform/win32/forms/Foreground.h"
#include "startup/Log.h"
#include "startup/MainWindowLayout.h"
#include "startup/RuntimeError.h"
#include "startup/win32/MainWindowWin32.h"

namespace orvitex {
namespace {

struct ProgramEnded {
    int exitCode;
};

class NoRegistry : public platform::Registry {
public:
    std::unique_ptr<platform::RegistryKey> OpenMachineKeyForSetValue(std::u16string_view) override {
        return nullptr;
    }
};

class AlwaysConnected : public install::MainServerConnector {
public:
    std::int32_t ConnectServerDB(std::u16string_view, std::u16string_view, std::u16string_view,
                                 std::u16string_view) override {
        return 1;
    }
};

class ThrowingUi : public platform::Ui {
public:
    void ShowMessage(std::u16string_view, platform::MessageIcon) override {}
    void SetBusyPointer(bool) override {}
    void EndProgram(int exitCode) override { throw ProgramEnded{exitCode}; }
};

struct WindowFixture {
    forms::win32::Application app{GetModuleHandleW(nullptr)};
    NoRegistry registry;
    AlwaysConnected connector;
    ThrowingUi ui;
    install::ServerSettings settings{u"127.0.0.1", u"127.0.0.2", u"4181", u"orvitex", u"sa", u"x"};
    startup::Log log;  // writes nowhere
    startup::win32::MainWindow main{app, {registry, ui, connector, settings}, log, false};
    std::int32_t Px(double twips) { return forms::TwipsToPixels(twips, main.Window().Dpi()); }
};

// A child's rectangle relative to its parent's client area.
RECT RectInParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(ProgressOnScreen, CounterKeepsItsRightEdgeAndTheBarFillsInSixths) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    HWND counter = f.main.Window().ControlHandle(startup::ctl::lblstate전체);
    HWND bar = f.main.Window().ControlHandle(startup::ctl::picProgressbar전체);
    const std::int32_t trackRight = f.Px(315 + 6870);
    struct Case {
        std::int32_t current, total;
        double barTwips;
    };
    const Case cases[] = {{0, 6, 0},    {-3, -6, 3435}, {6, 6, 6870},
                          {0, 0, 6870}, {7, 6, 8015},   {1234567, 6, 6870.0 / 6 * 1234567}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + "/" + std::to_string(c.total));
        f.main.Logic().ShowProgress(c.current, c.total);
        EXPECT_EQ(ToUtf8(f.main.Window().Text(startup::ctl::lblstate전체)),
                  std::to_string(c.current) + "/" + std::to_string(c.total));
        const RECT r = RectInParent(counter);
        EXPECT_NEAR(r.right, trackRight, 1) << "right edge under the track's right end";
        const RECT b = RectInParent(bar);
        EXPECT_EQ(b.right - b.left, std::min(f.Px(c.barTwips), 32767));
        EXPECT_EQ(b.bottom - b.top, f.Px(915)) << "the height stays";
    }
}

// Window code has no error trap: a failure inside a click must reach whoever
// runs the event loop; events still queued wait for the next one.
TEST(EventFailure, ReachesTheLoopThatDeliveredTheEvent) {
    WindowFixture f;
    int clicks = 0;
    f.main.Window().OnClick(startup::ctl::Picture6, [&clicks] {
        ++clicks;
        throw startup::RuntimeError(startup::kDivisionByZero, "Division by zero");
    });
    HWND body = f.main.Window().ControlHandle(startup::ctl::Picture6);
    for (int i = 0; i < 2; ++i) {
        PostMessageW(body, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(body, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    for (const int expected : {1, 2}) {
        SCOPED_TRACE(expected);
        try {
            f.app.Yield();
            ADD_FAILURE() << "the failure stayed inside the window system";
        } catch (const startup::RuntimeError& error) {
            EXPECT_EQ(error.Number(), startup::kDivisionByZero);
        }
        EXPECT_EQ(clicks, expected);
    }
    EXPECT_NO_THROW(f.app.Yield());
}

enum class Then { DragCaptionAwayAndClose, ClickBody, ClickCaption };

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
    Then then = Then::DragCaptionAwayAndClose;
};
Observed* observed = nullptr;

// Records "text @ left,top" of each control, in table order; returns their windows.
std::vector<HWND> RecordControls(Observed& seen) {
    const forms::FormTable& table = message::CompletionForm();
    std::vector<HWND> handles;
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const forms::ControlRef container = table.controls[i].container;
        HWND parent = container.name.empty()
                          ? seen.window
                          : handles[static_cast<std::size_t>(table.IndexOf(container))];
        HWND control = GetDlgItem(parent, forms::kFirstControlId + static_cast<int>(i));
        handles.push_back(control);
        wchar_t text[128]{};
        GetWindowTextW(control, text, 128);
        const RECT r = RectInParent(control);
        seen.controls.push_back(ToUtf8(win32::FromWide(text)) + " @ " + std::to_string(r.left) +
                                "," + std::to_string(r.top));
    }
    return handles;
}

void CALLBACK CloseBox(HWND timerWindow, UINT, UINT_PTR id, DWORD) {
    KillTimer(timerWindow, id);
    PostMessageW(observed->window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CALLBACK OnTimer(HWND timerWindow, UINT, UINT_PTR id, DWORD) {
    HWND window = FindWindowExW(nullptr, nullptr, L"OrvitexForm", nullptr);
    if (window == observed->main)
        window = FindWindowExW(nullptr, window, L"OrvitexForm", nullptr);
    if (!window || !IsWindowVisible(window))
        return;
    KillTimer(timerWindow, id);
    observed->window = window;
    GetWindowRect(window, &observed->outer);
    GetClientRect(window, &observed->client);
    observed->mainEnabled = IsWindowEnabled(observed->main);
    observed->foreground = GetForegroundWindow();
    observed->style = GetWindowLongW(window, GWL_STYLE);
    observed->exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    const std::vector<HWND> controls = RecordControls(*observed);
    HWND body = controls.at(5);
    HWND caption = controls.at(6);
    if (observed->then != Then::DragCaptionAwayAndClose) {
        HWND target = observed->then == Then::ClickBody ? body : caption;
        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        return;
    }
    // A real press on "확 인", dragged off it before the release.
    RECT r{};
    GetClientRect(caption, &r);
    POINT p{r.right / 2, r.bottom / 2};
    ClientToScreen(caption, &p);
    realinput::Input input;  // this thread takes the input once the callback returns
    EXPECT_TRUE(input.Press(p, {p.x, p.y - 60})) << "the cursor reached the press's points";
    SetTimer(timerWindow, 2, 300, CloseBox);  // after the input, which comes first
}

void Show(WindowFixture& f, Observed& seen) {
    seen.main = f.main.Window().Handle();
    observed = &seen;
    SetTimer(seen.main, 1, 20, OnTimer);
    message::win32::ShowCompletionWindow(f.app, f.main.Window(), f.ui, false);
}

// The window comes to the front as designed, modal and centred over the main
// window; a press dragged off "확 인" ends nothing, and the close box gives the
// main window back. What Windows adds, a foreground lock, is tested below.
TEST(CompletionWindowOnScreen, ComesToTheFrontOverTheMainWindowAndTheCloseBoxReturns) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    f.main.Move({0, 3000});  // the run moves it to the left edge
    f.main.Window().Show();
    Observed seen;
    EXPECT_NO_THROW(Show(f, seen)) << "the dragged press ended the program";
    ASSERT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.foreground, seen.window);
    EXPECT_EQ(seen.client.right, f.Px(6855));
    EXPECT_EQ(seen.client.bottom, f.Px(2655));
    EXPECT_FALSE(seen.mainEnabled) << "the main window takes no input meanwhile";
    EXPECT_TRUE(seen.exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(seen.style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              LONG{WS_SYSMENU});
    const forms::FormTable& table = message::CompletionForm();
    ASSERT_EQ(seen.controls.size(), table.controls.size());
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const forms::ControlRow& c = table.controls[i];
        EXPECT_EQ(seen.controls[i], ToUtf8(c.text) + " @ " + std::to_string(f.Px(c.rect.left)) +
                                        "," + std::to_string(f.Px(c.rect.top)));
    }
    RECT main{};
    GetWindowRect(seen.main, &main);
    EXPECT_NEAR(seen.outer.left + seen.outer.right, main.left + main.right, 2);
    EXPECT_NEAR(seen.outer.top + seen.outer.bottom, main.top + main.bottom, 2);
    EXPECT_FALSE(IsWindow(seen.window));
    EXPECT_TRUE(IsWindowEnabled(seen.main));
    EXPECT_TRUE(IsWindowVisible(seen.main)) << "the main window stays";
    EXPECT_EQ(GetForegroundWindow(), seen.main);
}

TEST(CompletionWindowOnScreen, EitherPartOfTheButtonEndsTheProgramComplete) {
    for (const auto then : {Then::ClickBody, Then::ClickCaption}) {
        SCOPED_TRACE(then == Then::ClickBody ? "Picture6" : "Label1");
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
}  // namespace orvitex
