#include "platform/win32/NewerApi.h"

#include <cstdlib>

namespace orvitex::win32 {
namespace {

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
    // The cast from FARPROC is how GetProcAddress is meant to be used.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif
    function = reinterpret_cast<Function>(GetProcAddress(module, name));
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

NewerApi Load() {
    NewerApi api;
    if (std::getenv("ORVITEX_WIN7_API")) {
        return api;
    }
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        Find(user32, "GetDpiForSystem", api.GetDpiForSystem);
        Find(user32, "GetDpiForWindow", api.GetDpiForWindow);
        Find(user32, "AdjustWindowRectExForDpi", api.AdjustWindowRectExForDpi);
        Find(user32, "SetThreadDpiAwarenessContext", api.SetThreadDpiAwarenessContext);
        Find(user32, "SetProcessDpiAwarenessContext", api.SetProcessDpiAwarenessContext);
    }
    return api;
}

}  // namespace

const NewerApi& Newer() {
    static const NewerApi api = Load();
    return api;
}

UINT SystemDpi() {
    if (Newer().GetDpiForSystem) {
        return Newer().GetDpiForSystem();
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT DpiOf(HWND window) {
    if (Newer().GetDpiForWindow) {
        if (const UINT dpi = Newer().GetDpiForWindow(window)) {
            return dpi;
        }
    }
    return SystemDpi();
}

void AdjustForFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    if (Newer().AdjustWindowRectExForDpi) {
        Newer().AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi);
        return;
    }
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace orvitex::win32
