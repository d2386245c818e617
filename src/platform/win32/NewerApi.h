#pragma once
// User32 functions newer than Windows 7, looked up at run time: the loader
// refuses an executable whose imports it cannot find, so nothing past Windows 7
// SP1 may be imported directly. This is the one place that looks them up.
#include "platform/win32/Win32Api.h"

namespace orvitex::win32 {

// DPI_AWARENESS_CONTEXT (Windows 10 1607); the SDK declares it only for newer targets.
using DpiAwarenessContext = HANDLE;
inline const DpiAwarenessContext kDpiUnawareContext = reinterpret_cast<DpiAwarenessContext>(-1);
inline const DpiAwarenessContext kPerMonitorAwareV2Context =
    reinterpret_cast<DpiAwarenessContext>(-4);

struct NewerApi {
    UINT(WINAPI* GetDpiForSystem)() = nullptr;
    UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* AdjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    DpiAwarenessContext(WINAPI* SetThreadDpiAwarenessContext)(DpiAwarenessContext) = nullptr;
    BOOL(WINAPI* SetProcessDpiAwarenessContext)(DpiAwarenessContext) = nullptr;
};

// This system's functions; every one null when the environment variable
// ORVITEX_WIN7_API is set, so that tests can run the Windows 7 paths.
[[nodiscard]] const NewerApi& Newer();

// The system DPI: GetDpiForSystem, else the screen's LOGPIXELSX.
[[nodiscard]] UINT SystemDpi();
// A window's DPI: GetDpiForWindow, else the system DPI (Windows 7 has one DPI).
[[nodiscard]] UINT DpiOf(HWND window);
// The outer rectangle for a client rectangle at a DPI; before Windows 10 the
// frame metrics are the system's, which is the only DPI there.
void AdjustForFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace orvitex::win32
