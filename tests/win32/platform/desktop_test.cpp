// Win32Desktop against a real top-level window of the test program. Finding the
// wizards and clicking at their rectangles' points runs in the end-to-end run.
#include "platform/win32/Win32Api.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Desktop.h"

namespace orvitex::win32 {
namespace {

using namespace std::chrono_literals;

void Pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// A window of this thread that counts what it is sent.
struct CountingWindow {
    static inline std::atomic<int> received{0};
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_APP) {
            ++received;
            return 1;
        }
        return DefWindowProcW(window, message, w, l);
    }
    CountingWindow() {
        WNDCLASSW type{};
        type.lpfnWndProc = Procedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"OrvitexCounting";
        RegisterClassW(&type);
        window = CreateWindowExW(0, L"OrvitexCounting", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        received = 0;
    }
    ~CountingWindow() { DestroyWindow(window); }
    HWND window;
};

// Bug caught: a sleep that freezes the program's window (the kernel's Sleep), or one
// that ends as soon as a message arrives. The message is sent, not posted: the sender
// gets its answer only from a thread that serves its windows during the sleep.
TEST(Desktop, SleepServesTheWindowsAndStillLastsItsTime) {
    const CountingWindow counting;
    Win32Desktop desktop([] { Pump(); }, [] { Pump(); });
    std::atomic<bool> answered{false};
    std::atomic<bool> sleeping{true};
    std::thread sender([&] {
        answered = SendMessageW(counting.window, WM_APP, 0, 0) == 1;
        answered = answered && sleeping;  // the answer came while the sleep went on
    });
    const auto begun = desktop.Now();
    desktop.Sleep(400ms);
    sleeping = false;
    const auto slept = desktop.Now() - begun;
    sender.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(CountingWindow::received, 1);
    EXPECT_GE(slept, 400ms - 16ms);  // GetTickCount64 steps by up to one tick
}

// Bug caught: a blocking call made on the window's thread (a call that needs the
// window answered could then never return), or a call's failure lost on its thread.
TEST(Desktop, BlockingCallRunsAwayFromTheWindowsThreadAndBringsBackItsFailure) {
    const CountingWindow counting;
    Win32Desktop desktop([] { Pump(); }, [] { Pump(); });
    DWORD callThread = 0;
    desktop.RunBlockingCall([&] {
        callThread = GetCurrentThreadId();
        SendMessageW(counting.window, WM_APP, 0, 0);  // answered only if served meanwhile
    });
    EXPECT_NE(callThread, GetCurrentThreadId());
    EXPECT_EQ(CountingWindow::received, 1);
    EXPECT_THROW(desktop.RunBlockingCall([] { throw std::runtime_error("no server"); }),
                 std::runtime_error);
}

// Bug caught: asking a wizard whose thread hangs waits forever (SendMessage), or a
// live wizard is taken for a hung one.
TEST(Desktop, AWindowWhoseThreadStopsAnsweringIsToldApartWithinTheLimit) {
    const UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle hung(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> hang{false};
    std::thread wizard([&] {
        window = CreateWindowExW(0, L"STATIC", L"OrvitexHangingWizard", WS_OVERLAPPEDWINDOW, 0, 0,
                                 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        MSG message{};
        while (!hang && GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        SetEvent(hung.Get());
        WaitForSingleObject(release.Get(), INFINITE);  // hung: serves nothing
        DestroyWindow(window);
    });
    while (!window) {
        std::this_thread::yield();
    }
    Win32Desktop desktop([] { Pump(); }, [] { Pump(); });
    const platform::ForeignWindow wizardWindow(reinterpret_cast<std::uintptr_t>(window.load()));
    EXPECT_TRUE(desktop.Answers(wizardWindow, 1000ms));
    hang = true;
    PostMessageW(window, WM_NULL, 0, 0);  // wakes its GetMessage to see the flag
    WaitForSingleObject(hung.Get(), INFINITE);
    EXPECT_FALSE(desktop.Answers(wizardWindow, 300ms));
    desktop.MakeTopmost(wizardWindow, {0, 0, 100, 100});  // returns: it only posts
    SetEvent(release.Get());
    wizard.join();
}

// Bug caught: a wizard that another window can cover while its buttons are
// clicked, or that is moved when pinned.
TEST(Desktop, PinningMakesTheWindowTopmostWhereItStands) {
    HWND window =
        CreateWindowExW(0, L"STATIC", L"OrvitexDesktopTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120,
                        110, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window);
    Win32Desktop desktop([] { Pump(); }, [] { Pump(); });
    const platform::ForeignWindow handle = desktop.FindWindowByCaption(u"OrvitexDesktopTest");
    EXPECT_EQ(handle, platform::ForeignWindow(reinterpret_cast<std::uintptr_t>(window)));
    platform::ScreenRect rect;
    ASSERT_TRUE(desktop.GetWindowRect(handle, rect));
    desktop.MakeTopmost(handle, rect);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(rect, (platform::ScreenRect{after.left, after.top, after.right, after.bottom}));
    DestroyWindow(window);
}

}  // namespace
}  // namespace orvitex::win32
