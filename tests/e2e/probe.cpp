// Looks at orvitex-setup's windows from another process, as UI automation would:
// finds them by caption, reads every child's rectangle and text, presses buttons.
//
//   orvitex-probe main [CODE]   the main window is shown as designed (code box = CODE)
//   orvitex-probe click-run     real clicks on the caption, then the body, of the run button
//   orvitex-probe close         the main window's close box
//   orvitex-probe message TEXT  only a message box with TEXT and the information icon
//   orvitex-probe ok            the message box's OK button
// Prints "WINDOW left top width height" for the window it checked; exit 0 when all holds.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "forms/Geometry.h"
#include "platform/Text.h"
#include "platform/win32/NewerApi.h"
#include "startup/MainWindowLayout.h"

namespace {

using namespace orvitex;

int failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok" : "MISMATCH", what.c_str());
    if (!ok) {
        ++failures;
    }
}

// WM_GETTEXT crosses the process boundary; GetWindowText would not ask an edit box.
std::u16string Text(HWND window) {
    wchar_t buffer[512]{};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

// 32 x 32 pixels of a device context, as 0x00RRGGBB.
std::vector<std::uint32_t> Grab(HDC dc, int x, int y) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 32, 32);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 32, 32, dc, x, y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(32 * 32);
    GetDIBits(memory, bitmap, 0, 32, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// An icon as the icon control of a message box shows it: over the background
// colour found at its corner.
std::vector<std::uint32_t> Drawn(LPCWSTR icon, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, 32, 32};
    FillRect(memory, &all, brush);
    DrawIconEx(memory, 0, 0, LoadIconW(nullptr, icon), 32, 32, 0, nullptr, DI_NORMAL);
    const auto pixels = Grab(memory, 0, 0);
    SelectObject(memory, old);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Compares what the screen shows in the message box's icon control.
bool ShowsIcon(HWND iconControl, LPCWSTR expected) {
    RECT r{};
    GetWindowRect(iconControl, &r);
    HDC screen = GetDC(nullptr);
    const auto shown = Grab(screen, r.left, r.top);
    const COLORREF background = GetPixel(screen, r.left, r.top);
    ReleaseDC(nullptr, screen);
    return shown == Drawn(expected, background) && shown != Drawn(IDI_ERROR, background) &&
           shown != Drawn(IDI_WARNING, background);
}

// Waits a bounded time for the window to appear; 60 s covers a cold prefix.
HWND WaitFor(const wchar_t* windowClass, const wchar_t* caption, bool visible) {
    for (int round = 0; round < 600; ++round) {
        HWND window = FindWindowW(windowClass, caption);
        if (window && (!visible || IsWindowVisible(window))) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

HWND MainWindow(bool visible) {
    return WaitFor(L"OrvitexForm", L"Orvitex 설치", visible);
}

void PrintWindow(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("WINDOW %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

RECT InParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Rect(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The controls' windows, in table order.
std::vector<HWND> CheckControls(HWND main, std::uint32_t dpi, const std::u16string& code) {
    const forms::FormTable& table = startup::MainWindowForm();
    std::vector<HWND> handles;
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const forms::ControlRow& c = table.controls[i];
        std::string name = ToUtf8(c.ref.name);
        if (c.ref.index >= 0) {
            name.append("(").append(std::to_string(c.ref.index)).append(")");
        }
        HWND parent = c.container.name.empty()
                          ? main
                          : handles[static_cast<std::size_t>(table.IndexOf(c.container))];
        HWND child = GetDlgItem(parent, forms::kFirstControlId + static_cast<int>(i));
        handles.push_back(child);
        if (!child) {
            Check(false, name + " exists");
            continue;
        }
        const auto px = [dpi](double twips) { return forms::TwipsToPixels(twips, dpi); };
        const RECT got = InParent(child);
        RECT want{px(c.rect.left), px(c.rect.top), px(c.rect.left) + px(c.rect.width),
                  px(c.rect.top) + px(c.rect.height)};
        if (c.ref == startup::ctl::picProgressbar전체) {
            want = {0, 0, 0, px(c.rect.height)};  // emptied by the load
        }
        bool placed = got.left == want.left && got.top == want.top;
        if (c.ref == startup::ctl::lblstate전체) {  // right-aligned under the track
            placed = got.top == want.top && got.right == px(315 + 6870);
        } else if (c.kind != forms::ControlKind::Label) {
            placed = placed && got.right == want.right && got.bottom == want.bottom;
        }
        Check(placed, name + " at " + Rect(got) + " (designed " + Rect(want) + ")");
        std::u16string text(c.text);
        if (c.ref == startup::ctl::txt요양기관기호) {
            text = code;
        }
        Check(Text(child) == text, name + " reads \"" + ToUtf8(Text(child)) + "\"");
        const bool shown = (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        Check(shown == (c.ref != startup::ctl::lbl진행상태), name + (shown ? " shown" : " hidden"));
    }
    return handles;
}

int CheckMain(const std::u16string& code) {
    HWND main = MainWindow(true);
    if (!main) {
        Check(false, "main window shown");
        return 1;
    }
    const std::uint32_t dpi = win32::DpiOf(main);
    RECT client{};
    GetClientRect(main, &client);
    Check(client.right == forms::TwipsToPixels(7815, dpi) &&
              client.bottom == forms::TwipsToPixels(3600, dpi),
          "client " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + " at " +
              std::to_string(dpi) + " dpi");
    Check((GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0, "tool window frame");
    const auto controls = CheckControls(main, dpi, code);
    const auto box =
        static_cast<std::size_t>(startup::MainWindowForm().IndexOf(startup::ctl::txt요양기관기호));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui);
    Check(gui.hwndFocus && gui.hwndFocus == controls[box], "keyboard focus in the code box");
    PrintWindow(main);
    return failures ? 1 : 0;
}

void RealClick(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(300);
}

int ClickRun() {
    HWND main = MainWindow(true);
    HWND panel = main ? GetDlgItem(main, forms::kFirstControlId + 1) : nullptr;
    HWND body = panel ? GetDlgItem(panel, forms::kFirstControlId + 14) : nullptr;
    HWND caption = body ? GetDlgItem(body, forms::kFirstControlId + 15) : nullptr;
    if (!caption) {
        Check(false, "run button found");
        return 1;
    }
    SetForegroundWindow(main);
    RECT r{};
    GetClientRect(caption, &r);
    RealClick(caption, r.right / 2, r.bottom / 2);
    RealClick(body, 3, 3);
    Check(true, "clicked the caption and the body of the run button");
    return 0;
}

int Close() {
    HWND main = MainWindow(true);
    if (!main) {
        return 1;
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    return 0;
}

HWND MessageBoxWindow() {
    return WaitFor(L"#32770", L"orvitex-setup", true);
}

int CheckMessage(const std::u16string& expected) {
    HWND box = MessageBoxWindow();
    if (!box) {
        Check(false, "message box shown");
        return 1;
    }
    wchar_t text[512]{};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    const std::u16string shown(reinterpret_cast<const char16_t*>(text));
    Check(shown == expected, "message reads \"" + ToUtf8(shown) + "\"");
    HWND main = FindWindowW(L"OrvitexForm", L"Orvitex 설치");
    Check(!main || !IsWindowVisible(main), "no main window visible");
    int buttons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32]{};
        GetClassNameW(child, name, 32);
        if (lstrcmpiW(name, L"Button") == 0 && IsWindowVisible(child)) {
            ++buttons;
        }
    }
    Check(buttons == 1 && GetDlgItem(box, IDOK), "one OK button");
    bool iconFound = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (SendMessageW(child, STM_GETICON, 0, 0)) {
            iconFound = ShowsIcon(child, IDI_INFORMATION);
        }
    }
    Check(iconFound, "information icon");
    PrintWindow(box);
    return failures ? 1 : 0;
}

int PressOk() {
    HWND box = MessageBoxWindow();
    if (!box) {
        return 1;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    const std::u16string arg =
        argc > 2 ? std::u16string(reinterpret_cast<const char16_t*>(argv[2])) : u"";
    int result = 2;
    if (mode == L"main") {
        result = CheckMain(arg);
    } else if (mode == L"click-run") {
        result = ClickRun();
    } else if (mode == L"close") {
        result = Close();
    } else if (mode == L"message") {
        result = CheckMessage(arg);
    } else if (mode == L"ok") {
        result = PressOk();
    } else {
        std::printf("usage: orvitex-probe main|click-run|close|message|ok [TEXT]\n");
    }
    std::fflush(stdout);
    return result;
}
