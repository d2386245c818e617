#include "platform/win32/forms/Form.h"

#include <commctrl.h>

namespace orvitex::forms::win32 {
namespace {

// A static control with SS_NOTIFY reports STN_CLICKED on the press. Its button
// messages go to the form instead, so that a label clicks like a button: on the
// release inside it, never when the press is dragged away.
LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR form) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // the static class has CS_DBLCLKS: a quick second press
            return reinterpret_cast<Form*>(form)->WindowProc(label, WM_LBUTTONDOWN, wParam, lParam);
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            return reinterpret_cast<Form*>(form)->WindowProc(label, message, wParam, lParam);
        case WM_NCDESTROY:
            RemoveWindowSubclass(label, LabelProc, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

void Form::ClickOnRelease(HWND label) {
    SetWindowSubclass(label, LabelProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isForm = window == window_.Get();
    switch (message) {
        case WM_ERASEBKGND:
            if (Paint(window)) {
                return 1;
            }
            break;
        case WM_PAINT:
            if (Control* shape = FromWindow(window);
                shape && shape->row->kind == ControlKind::Shape) {
                PAINTSTRUCT ps{};
                HDC dc = BeginPaint(window, &ps);
                RECT r{};
                GetClientRect(window, &r);
                FillRect(dc, &r, shape->brush.Get());
                EndPaint(window, &ps);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return OnColour(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                            message == WM_CTLCOLOREDIT);
        case WM_ACTIVATE:
            if (isForm) {
                return OnActivate(wParam);
            }
            break;
        case WM_SETFOCUS:
            if (isForm && FocusTarget() != window) {
                SetFocus(FocusTarget());
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            return OnMouse(window, message, lParam);
        case WM_SETCURSOR:
            if (app_.Busy()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_CLOSE:
            if (isForm && onClose_) {
                app_.Dispatch(onClose_);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            if (isForm) {
                ApplyDpi(HIWORD(wParam));
                const auto* r = reinterpret_cast<const RECT*>(lParam);
                SetWindowPos(window, nullptr, r->left, r->top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            if (isForm) {
                (void)window_.Release();  // destroyed by the window system already
                if (onDestroyed_) {
                    app_.Dispatch(onDestroyed_);
                }
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Form::Paint(HWND window) {
    HBRUSH brush = nullptr;
    if (window == window_.Get()) {
        brush = background_.Get();
    } else if (Control* panel = FromWindow(window)) {
        brush = panel->brush.Get();
    }
    if (!brush) {
        return false;
    }
    RECT r{};
    GetClientRect(window, &r);
    WindowDc dc(window);
    FillRect(dc.Get(), &r, brush);
    return true;
}

LRESULT Form::OnColour(HWND panel, HDC dc, HWND child, bool edit) {
    Control* control = FromWindow(child);
    if (!control) {
        return DefWindowProcW(panel, edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                              reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    }
    const Colour& fore = control->row->fore;
    if (fore.kind == Colour::Kind::Rgb) {
        SetTextColor(dc, RGB(fore.rgb.r, fore.rgb.g, fore.rgb.b));
    }
    if (control->brush) {
        const Colour& back = control->row->back;
        SetBkColor(dc, RGB(back.rgb.r, back.rgb.g, back.rgb.b));
        return reinterpret_cast<LRESULT>(control->brush.Get());
    }
    // Transparent: the label paints over its container's own background.
    SetBkMode(dc, TRANSPARENT);
    Control* container = FromWindow(panel);
    HBRUSH brush = container ? container->brush.Get() : background_.Get();
    return reinterpret_cast<LRESULT>(brush ? brush : GetStockObject(NULL_BRUSH));
}

LRESULT Form::OnMouse(HWND window, UINT message, LPARAM lParam) {
    Control* control = FromWindow(window);
    if (!control || !control->row->clickable) {
        return DefWindowProcW(window, message, 0, lParam);
    }
    if (message == WM_LBUTTONDOWN) {
        control->pressed = true;
        SetCapture(window);
    } else if (message == WM_LBUTTONUP && control->pressed) {
        control->pressed = false;
        ReleaseCapture();
        RECT r{};
        GetClientRect(window, &r);
        const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&r, p)) {
            Click(*control);
        }
    } else if (message == WM_CAPTURECHANGED) {
        control->pressed = false;
    }
    return 0;
}

// As a dialog does: the focus leaves with the window and comes back to the same
// control, at first to the first tab stop, so that typing reaches the text box.
LRESULT Form::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_.Get(), focus)) {
            focus_ = focus;
        }
    } else if (!HIWORD(wParam)) {  // not minimised
        SetFocus(FocusTarget());
    }
    return 0;
}

HWND Form::FocusTarget() const {
    if (focus_ && IsWindow(focus_) && IsChild(window_.Get(), focus_)) {
        return focus_;
    }
    for (const Control& control : controls_) {
        const auto style = GetWindowLongW(control.window, GWL_STYLE);
        if ((style & WS_TABSTOP) && IsWindowVisible(control.window) &&
            IsWindowEnabled(control.window)) {
            return control.window;
        }
    }
    return window_.Get();
}

void Form::Click(Control& control) {
    if (control.click) {
        app_.Dispatch(control.click);
    }
}

}  // namespace orvitex::forms::win32
