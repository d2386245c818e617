// Input that lands where it is aimed. Wine moves the cursor asynchronously, so a
// button event without a point of its own can land where the cursor was before:
// each mouse event carries its absolute point and the next waits until the cursor
// is there. With a target window of another thread, that thread's input state is
// shared, and each event waits until the thread has taken the one before.
#pragma once

#include "platform/win32/Win32Api.h"

namespace orvitex::realinput {

// Waits a bounded time for a condition of the window system.
template <typename Condition>
bool Within(int seconds, Condition holds) {
    for (int round = 0; round < seconds * 100 && !holds(); ++round)
        Sleep(10);
    return holds();
}

class Input {
public:
    explicit Input(HWND target = nullptr)
        : thread_(target ? GetWindowThreadProcessId(target, nullptr) : 0) {
        if (thread_ == GetCurrentThreadId() ||
            !AttachThreadInput(GetCurrentThreadId(), thread_, TRUE))
            thread_ = 0;
    }
    ~Input() {
        if (thread_)
            AttachThreadInput(GetCurrentThreadId(), thread_, FALSE);
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    // A left press at `down` released at `up`, in screen pixels.
    bool Press(POINT down, POINT up) {
        return Mouse(down, 0) && Mouse(down, MOUSEEVENTF_LEFTDOWN) && Taken(VK_LBUTTON, true) &&
               Mouse(up, 0) && Mouse(up, MOUSEEVENTF_LEFTUP) && Taken(VK_LBUTTON, false);
    }
    bool Key(WORD vk) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        const bool down = SendInput(1, &in, sizeof in) == 1 && Taken(vk, true);
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        return down && SendInput(1, &in, sizeof in) == 1 && Taken(vk, false);
    }

private:
    // 0..65535 over the virtual screen, rounded up: Wine and Windows round down.
    static LONG Normalised(LONG pixel, int origin, int extent) {
        return static_cast<LONG>((static_cast<long long>(pixel - origin) * 65536 + extent - 1) /
                                 extent);
    }
    static bool Mouse(POINT p, DWORD button) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = Normalised(p.x, GetSystemMetrics(SM_XVIRTUALSCREEN),
                              GetSystemMetrics(SM_CXVIRTUALSCREEN));
        in.mi.dy = Normalised(p.y, GetSystemMetrics(SM_YVIRTUALSCREEN),
                              GetSystemMetrics(SM_CYVIRTUALSCREEN));
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | button;
        POINT now{};
        return SendInput(1, &in, sizeof in) == 1 &&
               Within(5, [&] { return GetCursorPos(&now) && now.x == p.x && now.y == p.y; });
    }
    // The shared key state changes when the target's thread takes the message.
    bool Taken(int vk, bool down) const {
        return !thread_ || Within(5, [=] { return (GetKeyState(vk) < 0) == down; });
    }

    DWORD thread_;
};

}  // namespace orvitex::realinput
