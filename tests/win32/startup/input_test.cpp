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

void YieldUntil(WindowFixture& f, const std::function<bool()>& arrived) {
    for (int round = 0; round < 200 && !arrived(); ++round) {
        f.app.Yield();
        Sleep(10);
    }
}

// Real input: the pointer moves and the button goes down and up, as a person's
// click does; with releaseAt the pointer is dragged there before the release.
// Waits a bounded number of rounds for the event to arrive.
void ClickAt(WindowFixture& f, POINT screen, const std::function<bool()>& arrived,
             const POINT* releaseAt = nullptr) {
    SetCursorPos(screen.x, screen.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    if (releaseAt) {
        YieldUntil(f, [] { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; });
        SetCursorPos(releaseAt->x, releaseAt->y);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    YieldUntil(f, arrived);
}

POINT ScreenPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

// A press dragged off "실 행" must not start the run (nor start it with the button
// held); the release inside it does. Typing goes to the code box from the start.
// The end-to-end run clicks both parts of the button on the real program.
TEST(RunButtonOnScreen, ARunStartsOnReleaseInsideTheButtonAndNotByEnter) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    f.main.Window().Show();
    f.app.Yield();
    HWND box = f.main.Window().ControlHandle(ctl::txt요양기관기호);
    EXPECT_EQ(GetFocus(), box) << "the code can be typed at once";
    for (const WORD key : {WORD{'1'}, WORD{'2'}, WORD{VK_RETURN}}) {
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
        keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    }
    YieldUntil(f, [&] { return f.main.Window().Text(ctl::txt요양기관기호) == u"12"; });
    EXPECT_EQ(f.main.Window().Text(ctl::txt요양기관기호), u"12") << "typing reaches the box";

    HWND label = f.main.Window().ControlHandle(ctl::Label1);
    RECT labelRect{};
    GetClientRect(label, &labelRect);
    const POINT inside = ScreenPoint(label, labelRect.right / 2, labelRect.bottom / 2);
    const POINT away = ScreenPoint(label, labelRect.right / 2, -40);
    ClickAt(
        f, inside, [] { return (GetKeyState(VK_LBUTTON) & 0x8000) == 0; }, &away);
    EXPECT_EQ(Count(f.LogText(), "run button pressed"), 0) << "press dragged away";
    ClickAt(f, inside, [&] { return Count(f.LogText(), "pressed: Label1") == 1; });
    EXPECT_EQ(Count(f.LogText(), "run button pressed: Label1"), 1);
    EXPECT_EQ(Count(f.LogText(), "run returned"), 1);
    EXPECT_EQ(Count(f.LogText(), "run button pressed"), 1) << "Enter starts nothing";
}

}  // namespace
}  // namespace orvitex::startup
