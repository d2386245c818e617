// A stand-in setup wizard for the tests and the demo. It plays the kind of wizard
// that its own file name names: top-level windows with that wizard's caption and
// a real button under each point the window scripts click (pixels of a 96-dpi
// layout), and it journals every click that reaches one of its windows.
//
//   ORVITEX_CLICK_JOURNAL  file to append the journal to (UTF-8, one line a click,
//                          plus a "start" and an "end" line)
//   ORVITEX_FAKE_SETUP     misbehaviour, comma-separated: "late" (first window after
//                          3 s), "stuck" (never replace or close a window),
//                          "dpiaware" (per-monitor DPI aware, laid out by its DPI),
//                          "crash" (dies of an access violation before any window),
//                          "binfile" (leaves a plain file where C:\Orvitex\bin belongs),
//                          "hang" (its thread stops answering once its first window is
//                          up, for 30 s, then it ends)
#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "platform/DpiScaling.h"
#include "platform/Text.h"
#include "platform/win32/NewerApi.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace {

using namespace orvitex;
using orvitex::win32::FromWide;

// Where a button sits: its click point as an offset from the window's top-left
// corner, or back from its bottom-right corner.
struct Target {
    char name;
    int dx, dy;
    bool fromBottomRight;
};
constexpr Target kA{'A', 350, 315, false};
constexpr Target kB{'B', 350, 365, false};
constexpr Target kC{'C', 400, 115, false};
constexpr Target kD{'D', 25, 25, true};

// One window of a wizard: its button and the clicks it takes before it goes.
struct Page {
    Target target;
    const wchar_t* text;
    int clicks;
};

struct Role {
    const wchar_t* file;
    const wchar_t* caption;
    std::vector<Page> pages;
    bool makesProgramFolder = false;
};

std::vector<Role> Roles() {
    const Page next{kA, L"다음 >", 2};
    const Page finish{kD, L"마침", 2};
    return {
        {L"iorvitex.exe", L"오르비텍스 설치", {next, finish}, true},
        {L"uorvitex1.exe", L"오르비텍스 Update 설치", {next, finish}},
        {L"uorvitex2.exe", L"오르비텍스 설치", {{kB, L"계속", 3}}},
        {L"uorvitex3.exe", L"오르비텍스 설치", {{kB, L"계속", 3}}},
        {L"allv7_xproxy_soaplibsetupsetup.exe",
         L"ALLV7_XProxy_soapLibSetup Setup",
         {{kC, L"OK", 1}}},
        {L"ihiradursetupsw0421.exe", L"IHIRADUR 1.0 설치", {{kA, L"다음 >", 2}}},
    };
}

// Beside the installer's window at the left edge, as far as the screen allows.
constexpr int kWidth = 600, kHeight = 460, kLeft = 540, kTop = 120;
constexpr UINT_PTR kOpenTimer = 1, kGiveUpTimer = 2;
constexpr UINT kLateMs = 3000, kInstallMs = 1200, kGiveUpMs = 120000, kHangMs = 30000;
constexpr int kButtonId = 100;

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// A named function: a lambda has no WINAPI calling convention on 32-bit x86.
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

bool HasWord(const std::wstring& list, const std::wstring& word) {
    return (L"," + list + L",").find(L"," + word + L",") != std::wstring::npos;
}

std::wstring OwnFileName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full(path);
    return full.substr(full.find_last_of(L"\\/") + 1);
}

std::string Number(long long n) {
    return std::to_string(n);
}

class Wizard {
public:
    Wizard(HINSTANCE instance, std::wstring program, const Role* role, std::wstring mode)
        : instance_(instance), program_(std::move(program)), role_(role), mode_(std::move(mode)) {}

    int Run();
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Journal(const std::string& text) const;
    void OpenPage();
    void PlaceButton();
    void OnClick(char button);
    void NextPage();
    void End(const char* reason);
    int Scaled(int pixels) const { return platform::ToPhysicalPixels(pixels, dpi_); }

    HINSTANCE instance_;
    std::wstring program_;
    const Role* role_;
    std::wstring mode_;
    HWND host_ = nullptr;    // message-only window that holds the timers
    HWND window_ = nullptr;  // the page on screen
    UINT dpi_ = platform::kLayoutDpi;
    std::size_t page_ = 0;
    int windowNumber_ = 0;
    int pageClicks_ = 0;
};

LRESULT CALLBACK WizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* wizard = reinterpret_cast<Wizard*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return wizard ? wizard->Handle(window, message, wParam, lParam)
                  : DefWindowProcW(window, message, wParam, lParam);
}

void Wizard::Journal(const std::string& text) const {
    const std::wstring path = Env(L"ORVITEX_CLICK_JOURNAL");
    if (path.empty()) {
        return;
    }
    const std::string line = ToUtf8(FromWide(program_)) + " " + text +
                             " ms=" + Number(static_cast<long long>(GetTickCount64())) + "\n";
    win32::UniqueFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) {
        WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

int Wizard::Run() {
    if (HasWord(mode_, L"dpiaware")) {
        const auto setContext = win32::Newer().SetProcessDpiAwarenessContext;
        if (!setContext || !setContext(win32::kPerMonitorAwareV2Context)) {
            SetProcessDPIAware();
        }
        dpi_ = win32::SystemDpi();
    }
    Journal("start mode=" + ToUtf8(FromWide(mode_)) + " dpi=" + Number(dpi_) +
            " pid=" + Number(GetCurrentProcessId()));
    if (HasWord(mode_, L"crash")) {
        // Ends at once, as where no crash dialog or debugger is set up to keep it.
        SetUnhandledExceptionFilter(EndAtOnce);
        RaiseException(static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION), EXCEPTION_NONCONTINUABLE, 0,
                       nullptr);
    }
    if (!role_) {
        End("unknown");
        return 0;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WizardProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"OrvitexFakeSetup";
    RegisterClassW(&windowClass);
    host_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            instance_, this);
    SetTimer(host_, kGiveUpTimer, kGiveUpMs, nullptr);
    if (HasWord(mode_, L"late")) {
        SetTimer(host_, kOpenTimer, kLateMs, nullptr);
    } else {
        OpenPage();
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void Wizard::OpenPage() {
    const int width = Scaled(kWidth), height = Scaled(kHeight);
    const int left = std::max(0, std::min(Scaled(kLeft), GetSystemMetrics(SM_CXSCREEN) - width));
    const int top = std::max(0, std::min(Scaled(kTop), GetSystemMetrics(SM_CYSCREEN) - height));
    window_ = CreateWindowExW(0, L"OrvitexFakeSetup", role_->caption,
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, left, top, width, height,
                              nullptr, nullptr, instance_, this);
    ++windowNumber_;
    pageClicks_ = 0;
    PlaceButton();
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    if (HasWord(mode_, L"hang") && windowNumber_ == 1) {
        Journal("hang");
        Sleep(kHangMs);  // serves nothing: every message to its windows waits
        End("hung");
    }
}

// The button's click point lands exactly on the target's offset from the
// window's outer corner, whatever the frame metrics.
void Wizard::PlaceButton() {
    const Page& page = role_->pages[page_];
    const Target& t = page.target;
    RECT outer{};
    GetWindowRect(window_, &outer);
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    const int x = t.fromBottomRight ? outer.right - Scaled(t.dx) : outer.left + Scaled(t.dx);
    const int y = t.fromBottomRight ? outer.bottom - Scaled(t.dy) : outer.top + Scaled(t.dy);
    // The finish button reaches left of its point, the others centre on theirs.
    const int left = t.fromBottomRight ? Scaled(64) : Scaled(40);
    const int right = t.fromBottomRight ? Scaled(12) : Scaled(40);
    CreateWindowExW(0, L"BUTTON", page.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                    x - left - origin.x, y - Scaled(12) - origin.y, left + right, Scaled(24),
                    window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId + t.name)),
                    instance_, nullptr);
}

LRESULT Wizard::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                OnClick(static_cast<char>(LOWORD(wParam) - kButtonId));
            }
            return 0;
        case WM_LBUTTONDOWN:
            OnClick('-');  // beside every button
            return 0;
        case WM_TIMER:
            KillTimer(window, wParam);
            if (wParam == kGiveUpTimer) {
                End("timeout");
            } else {
                OpenPage();
            }
            return 0;
        case WM_APP:
            NextPage();
            return 0;
        case WM_CLOSE:
            End("closed");
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void Wizard::OnClick(char button) {
    const DWORD position = GetMessagePos();
    POINT screen{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    POINT client = screen;
    ScreenToClient(window_, &client);
    RECT r{};
    GetWindowRect(window_, &r);
    Journal((button == '-' ? std::string("miss") : std::string("click button=") + button) +
            " window=" + Number(windowNumber_) + " client=" + Number(client.x) + "," +
            Number(client.y) + " screen=" + Number(screen.x) + "," + Number(screen.y) +
            " rect=" + Number(r.left) + "," + Number(r.top) + "," + Number(r.right) + "," +
            Number(r.bottom) + " dpi=" + Number(dpi_));
    if (button == '-' || ++pageClicks_ != role_->pages[page_].clicks || HasWord(mode_, L"stuck")) {
        return;
    }
    // Not inside the button's own click: it still runs when this returns.
    PostMessageW(host_, WM_APP, 0, 0);
}

void Wizard::NextPage() {
    DestroyWindow(window_);
    window_ = nullptr;
    if (++page_ == role_->pages.size()) {
        End("done");
        return;
    }
    if (role_->makesProgramFolder) {
        CreateDirectoryW(L"C:\\Orvitex", nullptr);
        if (HasWord(mode_, L"binfile")) {
            win32::UniqueFileHandle file(CreateFileW(L"C:\\Orvitex\\bin", GENERIC_WRITE, 0, nullptr,
                                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
        } else {
            CreateDirectoryW(L"C:\\Orvitex\\bin", nullptr);
        }
    }
    SetTimer(host_, kOpenTimer, kInstallMs, nullptr);  // installing
}

void Wizard::End(const char* reason) {
    Journal(std::string("end reason=") + reason);
    PostQuitMessage(0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::wstring program = OwnFileName();
    std::wstring lower = program;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    const std::vector<Role> roles = Roles();
    const auto role =
        std::find_if(roles.begin(), roles.end(), [&](const Role& r) { return lower == r.file; });
    Wizard wizard(instance, std::move(program), role == roles.end() ? nullptr : &*role,
                  Env(L"ORVITEX_FAKE_SETUP"));
    return wizard.Run();
}
