#pragma once
// A real top-level window built from a control table: every control is a child
// window with the table's rectangle (twips at the window's DPI), colours, font
// and text. Labels are transparent static controls that size themselves to their
// text; shapes are one-pixel outlines; picture boxes are panels.
#include "platform/win32/Win32Api.h"

#include <functional>
#include <string>
#include <vector>

#include "forms/FormTable.h"
#include "forms/Geometry.h"
#include "platform/win32/forms/Application.h"
#include "platform/win32/forms/GdiOwners.h"

namespace orvitex::forms::win32 {

struct RectF {
    double left = 0, top = 0, width = 0, height = 0;
};

class Form {
public:
    // Creates the window and its controls, hidden.
    Form(Application& app, const FormTable& table);
    // Handlers are dropped first: they may refer to objects already gone.
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    [[nodiscard]] HWND Handle() const { return window_.Get(); }
    [[nodiscard]] HWND ControlHandle(ControlRef ref) const;
    [[nodiscard]] std::uint32_t Dpi() const { return dpi_; }
    [[nodiscard]] bool IsOpen() const { return static_cast<bool>(window_); }
    [[nodiscard]] Application& App() const { return app_; }

    void OnClick(ControlRef ref, std::function<void()> handler);
    // The close box. Without a handler the window is destroyed.
    void OnClose(std::function<void()> handler) { onClose_ = std::move(handler); }
    // Runs once the window is destroyed.
    void OnDestroyed(std::function<void()> handler) { onDestroyed_ = std::move(handler); }

    void SetText(ControlRef ref, std::u16string_view text);
    [[nodiscard]] std::u16string Text(ControlRef ref) const;
    void SetVisible(ControlRef ref, bool visible);
    // Twips, relative to the container.
    [[nodiscard]] RectF ControlRect(ControlRef ref) const;
    void PlaceControl(ControlRef ref, RectF rect);

    // Outer size and position of the window, in twips.
    [[nodiscard]] SizeTwips OuterSize() const;
    [[nodiscard]] PointTwips Position() const;
    void MoveTo(PointTwips topLeft);
    [[nodiscard]] SizeTwips ScreenSize() const;

    void Show();
    // Runs the OnDestroyed handler, as a close does.
    void Destroy() {
        if (window_) {
            DestroyWindow(window_.Get());
        }
    }

    // Window procedures reach their form through this.
    [[nodiscard]] LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Control {
        const ControlRow* row = nullptr;
        HWND window = nullptr;
        RectF rect;  // current, twips
        UniqueFont font;
        UniqueBrush brush;
        std::function<void()> click;
        bool pressed = false;
    };

    void CreateWindowAndControls();
    void CreateControl(std::size_t index);
    void ApplyDpi(std::uint32_t dpi);
    void Layout(Control& control);
    void FitToText(Control& control);
    void ShapeOutline(Control& control);
    [[nodiscard]] Control& At(ControlRef ref);
    [[nodiscard]] const Control& At(ControlRef ref) const;
    [[nodiscard]] Control* FromWindow(HWND window);
    [[nodiscard]] HWND ContainerOf(const ControlRow& row) const;

    LRESULT OnColour(HWND panel, HDC dc, HWND child, bool edit);
    LRESULT OnMouse(HWND window, UINT message, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam);
    void ClickOnRelease(HWND label);
    [[nodiscard]] HWND FocusTarget() const;
    bool Paint(HWND window);
    void Click(Control& control);

    Application& app_;
    const FormTable& table_;
    std::uint32_t dpi_ = 96;
    std::vector<Control> controls_;
    UniqueBrush background_;
    UniqueWindow window_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was last active
    std::function<void()> onClose_;
    std::function<void()> onDestroyed_;
};

}  // namespace orvitex::forms::win32
