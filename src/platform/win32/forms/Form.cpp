#include "platform/win32/forms/Form.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win32/NewerApi.h"
#include "platform/win32/WideString.h"

namespace orvitex::forms::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"OrvitexForm";
constexpr wchar_t kPanelClass[] = L"OrvitexPanel";
constexpr wchar_t kShapeClass[] = L"OrvitexShape";
constexpr int kMaxPixels = 32767;

LRESULT CALLBACK SharedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->WindowProc(window, message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kFormClass, kPanelClass, kShapeClass}) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = SharedWindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        if (name == kFormClass) {
            wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        }
        RegisterClassExW(&wc);  // fails harmlessly once registered
    }
}

COLORREF ToColorRef(const Colour& colour) {
    if (colour.kind == Colour::Kind::ButtonFace) {
        return GetSysColor(COLOR_BTNFACE);
    }
    return RGB(colour.rgb.r, colour.rgb.g, colour.rgb.b);
}

UniqueBrush BrushFor(const Colour& colour) {
    if (colour.kind == Colour::Kind::None) {
        return UniqueBrush();
    }
    return UniqueBrush(CreateSolidBrush(ToColorRef(colour)));
}

UniqueFont FontFor(const Font& font, std::uint32_t dpi) {
    const auto height = -TwipsToPixels(font.points * 20, dpi);  // 20 twips a point
    const std::u16string face(font.face);
    // With the Hangul character set the font mapper picks the nearest Korean
    // face when the named one is missing.
    return UniqueFont(CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                                  font.italic ? TRUE : FALSE, FALSE, FALSE, HANGUL_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, orvitex::win32::Wide(face)));
}

struct FrameStyle {
    DWORD style;
    DWORD exStyle;
};

FrameStyle StyleOf(Frame frame) {
    constexpr DWORD base = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return frame == Frame::FixedToolWindow ? FrameStyle{base, WS_EX_TOOLWINDOW}
                                           : FrameStyle{base, WS_EX_DLGMODALFRAME};
}

int Clamp(std::int32_t pixels) {
    return std::clamp(pixels, -kMaxPixels, kMaxPixels);
}

}  // namespace

Form::Form(Application& app, const FormTable& table) : app_(app), table_(table) {
    RegisterClasses(app_.Instance());
    background_ = BrushFor(table_.background);
    CreateWindowAndControls();
}

Form::~Form() {
    onClose_ = nullptr;
    onDestroyed_ = nullptr;
    for (Control& control : controls_) {
        control.click = nullptr;
    }
    window_.Reset();
}

void Form::CreateWindowAndControls() {
    const FrameStyle frame = StyleOf(table_.frame);
    const std::u16string caption(table_.caption);
    dpi_ = orvitex::win32::SystemDpi();
    HWND window = CreateWindowExW(frame.exStyle, kFormClass, orvitex::win32::Wide(caption),
                                  frame.style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                                  app_.Instance(), this);
    if (!window) {
        throw std::runtime_error("the window could not be created");
    }
    window_.Reset(window);
    controls_.reserve(table_.controls.size());
    for (std::size_t i = 0; i < table_.controls.size(); ++i) {
        CreateControl(i);
    }
    ApplyDpi(orvitex::win32::DpiOf(window));
}

HWND Form::ContainerOf(const ControlRow& row) const {
    return row.container.name.empty() ? window_.Get() : At(row.container).window;
}

void Form::CreateControl(std::size_t index) {
    const ControlRow& row = table_.controls[index];
    Control control;
    control.row = &row;
    control.rect = {double(row.rect.left), double(row.rect.top), double(row.rect.width),
                    double(row.rect.height)};
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (row.visible ? WS_VISIBLE : 0);
    const wchar_t* windowClass = kPanelClass;
    switch (row.kind) {
        case ControlKind::PictureBox:
            style |= WS_CLIPCHILDREN;
            control.brush = BrushFor(row.back);
            break;
        case ControlKind::Label:
            windowClass = L"STATIC";
            // Without SS_NOTIFY a static is transparent to the mouse.
            style |= SS_LEFT | SS_NOPREFIX | (row.clickable ? SS_NOTIFY : 0);
            break;
        case ControlKind::TextBox:
            windowClass = L"EDIT";
            style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            control.brush = BrushFor(row.back);
            break;
        case ControlKind::Shape:
            windowClass = kShapeClass;
            control.brush = BrushFor(row.fore);
            break;
    }
    const std::u16string text(row.text);
    const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<std::int32_t>(index));
    control.window =
        CreateWindowExW(0, windowClass, orvitex::win32::Wide(text), style, 0, 0, 0, 0,
                        ContainerOf(row), reinterpret_cast<HMENU>(id), app_.Instance(), this);
    if (!control.window) {
        throw std::runtime_error("a control could not be created");
    }
    if (row.kind == ControlKind::Label && row.clickable) {
        ClickOnRelease(control.window);
    }
    controls_.push_back(std::move(control));
}

void Form::ApplyDpi(std::uint32_t dpi) {
    dpi_ = dpi ? dpi : 96;
    for (Control& control : controls_) {
        if (control.row->font) {
            control.font = FontFor(*control.row->font, dpi_);
            SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font.Get()),
                         FALSE);
        }
        Layout(control);
    }
    const FrameStyle frame = StyleOf(table_.frame);
    RECT r{0, 0, TwipsToPixels(table_.clientWidth, dpi_), TwipsToPixels(table_.clientHeight, dpi_)};
    orvitex::win32::AdjustForFrame(r, frame.style, frame.exStyle, dpi_);
    SetWindowPos(window_.Get(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Layout(Control& control) {
    const RectF& r = control.rect;
    SetWindowPos(control.window, nullptr, Clamp(TwipsToPixels(r.left, dpi_)),
                 Clamp(TwipsToPixels(r.top, dpi_)),
                 std::max(0, Clamp(TwipsToPixels(r.width, dpi_))),
                 std::max(0, Clamp(TwipsToPixels(r.height, dpi_))), SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.row->kind == ControlKind::Label) {
        FitToText(control);
    } else if (control.row->kind == ControlKind::Shape) {
        ShapeOutline(control);
    }
}

void Form::FitToText(Control& control) {
    const std::u16string text = Text(control.row->ref);
    WindowDc dc(control.window);
    Selected font(dc.Get(), control.font.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), orvitex::win32::Wide(text), static_cast<int>(text.size()),
                          &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    size.cy = std::max<LONG>(size.cy, metrics.tmHeight);
    control.rect.width = PixelsToTwips(size.cx, dpi_);
    control.rect.height = PixelsToTwips(size.cy, dpi_);
    SetWindowPos(control.window, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(control.window, nullptr, TRUE);
}

void Form::ShapeOutline(Control& control) {
    RECT r{};
    GetClientRect(control.window, &r);
    UniqueRegion outer(CreateRectRgn(0, 0, r.right, r.bottom));
    UniqueRegion inner(CreateRectRgn(1, 1, r.right - 1, r.bottom - 1));
    CombineRgn(outer.Get(), outer.Get(), inner.Get(), RGN_DIFF);
    if (SetWindowRgn(control.window, outer.Get(), TRUE)) {
        (void)outer.Release();  // the system owns it now
    }
}

Form::Control& Form::At(ControlRef ref) {
    const std::int32_t i = table_.IndexOf(ref);
    if (i < 0 || static_cast<std::size_t>(i) >= controls_.size()) {
        throw std::out_of_range("no such control");
    }
    return controls_[static_cast<std::size_t>(i)];
}

const Form::Control& Form::At(ControlRef ref) const {
    return const_cast<Form*>(this)->At(ref);
}

Form::Control* Form::FromWindow(HWND window) {
    for (Control& control : controls_) {
        if (control.window == window) {
            return &control;
        }
    }
    return nullptr;
}

HWND Form::ControlHandle(ControlRef ref) const {
    return At(ref).window;
}

void Form::OnClick(ControlRef ref, std::function<void()> handler) {
    At(ref).click = std::move(handler);
}

void Form::SetText(ControlRef ref, std::u16string_view text) {
    Control& control = At(ref);
    const std::u16string copy(text);
    SetWindowTextW(control.window, orvitex::win32::Wide(copy));
    if (control.row->kind == ControlKind::Label) {
        FitToText(control);
    }
}

std::u16string Form::Text(ControlRef ref) const {
    HWND window = At(ref).window;
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    const int length = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

void Form::SetVisible(ControlRef ref, bool visible) {
    ShowWindow(At(ref).window, visible ? SW_SHOWNA : SW_HIDE);
}

RectF Form::ControlRect(ControlRef ref) const {
    return At(ref).rect;
}

void Form::PlaceControl(ControlRef ref, RectF rect) {
    Control& control = At(ref);
    control.rect = rect;
    Layout(control);
}

SizeTwips Form::OuterSize() const {
    RECT r{};
    GetWindowRect(window_.Get(), &r);
    return {PixelsToTwips(r.right - r.left, dpi_), PixelsToTwips(r.bottom - r.top, dpi_)};
}

PointTwips Form::Position() const {
    RECT r{};
    GetWindowRect(window_.Get(), &r);
    return {PixelsToTwips(r.left, dpi_), PixelsToTwips(r.top, dpi_)};
}

void Form::MoveTo(PointTwips topLeft) {
    SetWindowPos(window_.Get(), nullptr, Clamp(TwipsToPixels(topLeft.left, dpi_)),
                 Clamp(TwipsToPixels(topLeft.top, dpi_)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SizeTwips Form::ScreenSize() const {
    return {PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi_),
            PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi_)};
}

void Form::Show() {
    ShowWindow(window_.Get(), SW_SHOWNORMAL);
    UpdateWindow(window_.Get());
}

}  // namespace orvitex::forms::win32
