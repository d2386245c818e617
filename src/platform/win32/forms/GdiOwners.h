#pragma once
// The GDI and window handles a form holds, and their scoped uses.
#include "platform/win32/Win32Api.h"

#include "platform/win32/UniqueHandle.h"

namespace orvitex::forms::win32 {

using orvitex::win32::UniqueBrush;
using orvitex::win32::UniqueFont;
using orvitex::win32::UniqueRegion;
using orvitex::win32::UniqueWindow;

// A device context of a window, released with it.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    [[nodiscard]] HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for one scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace orvitex::forms::win32
