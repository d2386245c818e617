// Looks at orvitex-setup's windows from another process, as UI automation would:
// finds them by caption, reads every child's rectangle, text and style, presses buttons.
//
//   orvitex-probe main [CODE]   the main window is shown as designed (code box = CODE)
//   orvitex-probe click-run     Enter, a press dragged off the run button, then real
//                               clicks on its caption and on its body
//   orvitex-probe close         the main window's close box
//   orvitex-probe message TEXT  only a message box with TEXT and the information icon
//   orvitex-probe ok            the message box's OK button
// main prints "WINDOW left top width height"; each mode exits with 0 when all holds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RealInput.h"
#include "forms/Geometry.h"
#include "platform/Text.h"
#include "platform/win32/NewerApi.h"
#include "startup/MainWindowLayout.h"

namespace {

using namespace orvitex;

int failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok" : "MISMATCH", what.c_str());
    failures += ok ? 0 : 1;
}

// WM_GETTEXT crosses the process boundary; GetWindowText would not ask an edit box.
std::u16string Text(HWND window) {
    wchar_t buffer[512]{};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

// 32 x 32 pixels at x, y of a device context, as 0x00RRGGBB; with an icon, that
// icon drawn over the colour found at x, y instead.
std::vector<std::uint32_t> Pixels(HDC dc, int x, int y, LPCWSTR icon = nullptr) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 32, 32);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (!icon) {
        BitBlt(memory, 0, 0, 32, 32, dc, x, y, SRCCOPY);
    } else {
        HBRUSH brush = CreateSolidBrush(GetPixel(dc, x, y));
        RECT all{0, 0, 32, 32};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, LoadIconW(nullptr, icon), 32, 32, 0, nullptr, DI_NORMAL);
    }
    SelectObject(memory, old);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(32 * 32);
    GetDIBits(memory, bitmap, 0, 32, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Whether the screen shows the expected icon in the message box's icon control.
bool ShowsIcon(HWND iconControl, LPCWSTR expected) {
    RECT r{};
    GetWindowRect(iconControl, &r);
    HDC screen = GetDC(nullptr);
    const auto shown = Pixels(screen, r.left, r.top);
    const bool same = shown == Pixels(screen, r.left, r.top, expected) &&
                      shown != Pixels(screen, r.left, r.top, IDI_ERROR) &&
                      shown != Pixels(screen, r.left, r.top, IDI_WARNING);
    ReleaseDC(nullptr, screen);
    return same;
}

// Waits a bounded time for the window to appear; 60 s covers a cold prefix.
HWND WaitFor(const wchar_t* windowClass, const wchar_t* caption) {
    for (int round = 0; round < 600; ++round, Sleep(100)) {
        HWND window = FindWindowW(windowClass, caption);
        if (window && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

HWND MainWindow() {
    return WaitFor(L"OrvitexForm", L"Orvitex 설치");
}

HWND MessageBoxWindow() {
    return WaitFor(L"#32770", L"orvitex-setup");
}

std::string Rect(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// A label is a static that notifies only when clickable, a text box a borderless
// edit, a shape a region of one pixel's width that shows what it frames.
void CheckStyle(HWND child, const forms::ControlRow& c, const std::string& name) {
    wchar_t type[16]{};
    GetClassNameW(child, type, 16);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (c.kind == forms::ControlKind::Label) {
        Check(!lstrcmpiW(type, L"Static") && ((style & SS_NOTIFY) != 0) == c.clickable,
              name + (c.clickable ? " a static that notifies" : " a static"));
    } else if (c.kind == forms::ControlKind::TextBox) {
        Check(!lstrcmpiW(type, L"Edit") && !(style & WS_BORDER) &&
                  !(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE),
              name + " a borderless edit");
    } else if (c.kind == forms::ControlKind::Shape) {
        RECT r{};
        GetClientRect(child, &r);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        Check(GetWindowRgn(child, region) != ERROR && PtInRegion(region, 0, 0) &&
                  PtInRegion(region, r.right - 1, r.bottom - 1) && !PtInRegion(region, 1, 1) &&
                  !PtInRegion(region, r.right / 2, r.bottom / 2),
              name + " a one-pixel outline");
        DeleteObject(region);
    }
}

// The controls' windows, in table order.
std::vector<HWND> CheckControls(HWND main, std::uint32_t dpi, const std::u16string& code) {
    const forms::FormTable& table = startup::MainWindowForm();
    std::vector<HWND> handles;
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const forms::ControlRow& c = table.controls[i];
        std::string name = ToUtf8(c.ref.name);
        if (c.ref.index >= 0)
            name.append("(").append(std::to_string(c.ref.index)).append(")");
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
        RECT got{};
        GetWindowRect(child, &got);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&got), 2);
        RECT want{px(c.rect.left), px(c.rect.top), px(c.rect.left) + px(c.rect.width),
                  px(c.rect.top) + px(c.rect.height)};
        if (c.ref == startup::ctl::picProgressbar전체)
            want = {0, 0, 0, px(c.rect.height)};  // emptied by the load
        bool placed = got.left == want.left && got.top == want.top;
        if (c.ref == startup::ctl::lblstate전체) {  // right-aligned under the track
            placed = got.top == want.top && got.right == px(315 + 6870);
        } else if (c.kind != forms::ControlKind::Label) {
            placed = placed && got.right == want.right && got.bottom == want.bottom;
        }
        Check(placed, name + " at " + Rect(got) + " (designed " + Rect(want) + ")");
        const std::u16string_view text =
            c.ref == startup::ctl::txt요양기관기호 ? std::u16string_view(code) : c.text;
        Check(Text(child) == text, name + " reads \"" + ToUtf8(Text(child)) + "\"");
        const bool shown = (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        Check(shown == (c.ref != startup::ctl::lbl진행상태), name + (shown ? " shown" : " hidden"));
        CheckStyle(child, c, name);
    }
    return handles;
}

int CheckMain(const std::u16string& code) {
    HWND main = MainWindow();
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
    RECT outer{};
    GetWindowRect(main, &outer);
    Check(std::abs(outer.left + outer.right - GetSystemMetrics(SM_CXSCREEN)) <= 2 &&
              std::abs(outer.top + outer.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 2,
          "centred on the screen at " + Rect(outer));
    Check((GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0, "tool window frame");
    Check((GetWindowLongW(main, GWL_STYLE) &
           (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) == WS_SYSMENU,
          "a close box and no sizing");
    const auto controls = CheckControls(main, dpi, code);
    const auto box =
        static_cast<std::size_t>(startup::MainWindowForm().IndexOf(startup::ctl::txt요양기관기호));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui);
    Check(gui.hwndFocus && gui.hwndFocus == controls[box], "keyboard focus in the code box");
    std::printf("WINDOW %ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left,
                outer.bottom - outer.top);
    return failures ? 1 : 0;
}

// A real press at x, y of the window, released dy pixels lower.
bool RealClick(realinput::Input& input, HWND window, int x, int y, int dy = 0) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return input.Press(p, {p.x, p.y + dy});
}

int ClickRun() {
    HWND main = MainWindow();
    HWND panel = main ? GetDlgItem(main, forms::kFirstControlId + 1) : nullptr;
    HWND body = panel ? GetDlgItem(panel, forms::kFirstControlId + 14) : nullptr;
    HWND caption = body ? GetDlgItem(body, forms::kFirstControlId + 15) : nullptr;
    if (!caption) {
        Check(false, "run button found");
        return 1;
    }
    SetForegroundWindow(main);
    Check(realinput::Within(5, [main] { return GetForegroundWindow() == main; }),
          "main window in the foreground");
    realinput::Input input(main);
    Check(input.Key(VK_RETURN), "Enter taken");  // in the code box: starts nothing
    RECT r{};
    GetClientRect(caption, &r);
    Check(RealClick(input, caption, r.right / 2, r.bottom / 2, -r.bottom / 2 - 40),
          "press dragged off the caption taken");  // starts nothing
    Check(RealClick(input, caption, r.right / 2, r.bottom / 2), "click on the caption taken");
    // The run it starts moves the window to the screen's left edge: the body is pressed there.
    const auto atLeftEdge = [main] {
        RECT outer{};
        return GetWindowRect(main, &outer) && outer.left == 0;
    };
    Check(realinput::Within(60, atLeftEdge), "main window at the left edge");
    Check(RealClick(input, body, 3, 3), "click on the body taken");
    return failures ? 1 : 0;
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
    bool icon = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32]{};
        GetClassNameW(child, name, 32);
        buttons += lstrcmpiW(name, L"Button") == 0 && IsWindowVisible(child) ? 1 : 0;
        if (SendMessageW(child, STM_GETICON, 0, 0))
            icon = ShowsIcon(child, IDI_INFORMATION);
    }
    Check(buttons == 1 && GetDlgItem(box, IDOK), "one OK button");
    Check(icon, "information icon");
    return failures ? 1 : 0;
}

// Posts a message to the window once it is shown.
int Post(HWND window, UINT message, WPARAM wParam) {
    return window && PostMessageW(window, message, wParam, 0) ? 0 : 1;
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
        result = Post(MainWindow(), WM_CLOSE, 0);
    } else if (mode == L"message") {
        result = CheckMessage(arg);
    } else if (mode == L"ok") {
        result = Post(MessageBoxWindow(), WM_COMMAND, IDOK);
    } else {
        std::printf("usage: orvitex-probe main|click-run|close|message|ok [TEXT]\n");
    }
    std::fflush(stdout);
    return result;
}
