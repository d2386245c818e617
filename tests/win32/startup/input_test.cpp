#include <gtest/gtest.h>

#include <algorithm>

#include "WindowFixture.h"
#include "startup/MainWindowLayout.h"

namespace orvitex::startup {
namespace {

using testing::WindowFixture;

int Count(const std::string& text, const std::string& word) {
    int n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        ++n;
    }
    return n;
}

// Real input: the pointer moves and the button goes down and up, as a person's
// click does. Waits a bounded number of rounds for the event to arrive.
void ClickAt(WindowFixture& f, POINT screen, const std::function<bool()>& arrived) {
    SetCursorPos(screen.x, screen.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    for (int round = 0; round < 200 && !arrived(); ++round) {
        f.app.Yield();
        Sleep(10);
    }
}

POINT ScreenPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

TEST(RunButtonOnScreen, CaptionAndBlueAreaBothStartARunEnterDoesNot) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    f.main.Window().Show();
    SetForegroundWindow(f.main.Window().Handle());
    f.app.Yield();

    HWND label = f.main.Window().ControlHandle(ctl::Label1);
    RECT labelRect{};
    GetClientRect(label, &labelRect);
    ClickAt(f, ScreenPoint(label, labelRect.right / 2, labelRect.bottom / 2),
            [&] { return Count(f.LogText(), "pressed: Label1") == 1; });
    EXPECT_EQ(Count(f.LogText(), "run button pressed: Label1"), 1);

    HWND body = f.main.Window().ControlHandle(ctl::Picture6);
    ClickAt(f, ScreenPoint(body, 4, 4),
            [&] { return Count(f.LogText(), "pressed: Picture6") == 1; });
    EXPECT_EQ(Count(f.LogText(), "run button pressed: Picture6"), 1);
    EXPECT_EQ(Count(f.LogText(), "run returned"), 2);

    HWND box = f.main.Window().ControlHandle(ctl::txt요양기관기호);
    SetFocus(box);
    for (const WORD key : {WORD{'1'}, WORD{'2'}, WORD{VK_RETURN}}) {
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
    for (int round = 0; round < 200 && f.main.Window().Text(ctl::txt요양기관기호) != u"12";
         ++round) {
        f.app.Yield();
        Sleep(10);
    }
    EXPECT_EQ(f.main.Window().Text(ctl::txt요양기관기호), u"12") << "typing reaches the box";
    EXPECT_EQ(Count(f.LogText(), "run button pressed"), 2) << "Enter starts nothing";
}

}  // namespace
}  // namespace orvitex::startup
