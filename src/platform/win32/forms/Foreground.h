#pragma once
// Bringing a window of this program to the front after other programs had it:
// Windows refuses SetForegroundWindow to a process that did not receive the last
// input (the foreground lock), and after a run that clicked into other programs'
// wizards this program did not.
#include "platform/win32/Win32Api.h"

namespace orvitex::forms::win32 {

// The three window-system calls the decision uses; tests replace them.
struct ForegroundCalls {
    BOOL(WINAPI* setForeground)(HWND) = SetForegroundWindow;
    HWND(WINAPI* getForeground)() = GetForegroundWindow;
    BOOL(WINAPI* flash)(PFLASHWINFO) = FlashWindowEx;
};

// Asks for the foreground; when the lock refuses it, flashes the window's caption
// and taskbar button until the user brings it up.
void ComeToFront(HWND window, const ForegroundCalls& calls = {});

}  // namespace orvitex::forms::win32
