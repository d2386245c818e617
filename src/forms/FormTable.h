#pragma once
// A window described as data: its frame, client size and a table of controls,
// each with kind, container, rectangle in twips, colours, font, text and
// visibility. The Win32 forms toolkit builds real windows from it.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvitex::forms {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

// A colour of the table: none (the control has no such colour), an RGB triple,
// or the system's button-face colour.
struct Colour {
    enum class Kind { None, Rgb, ButtonFace };
    Kind kind = Kind::None;
    Rgb rgb;
    static constexpr Colour Of(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return {Kind::Rgb, {r, g, b}};
    }
    static constexpr Colour ButtonFace() { return {Kind::ButtonFace, {}}; }
    friend constexpr bool operator==(Colour, Colour) = default;
};

struct Font {
    std::u16string_view face;
    double points = 0;
    bool bold = false;
    bool italic = false;
    friend constexpr bool operator==(const Font&, const Font&) = default;
};

struct RectTwips {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(RectTwips, RectTwips) = default;
};

enum class ControlKind {
    PictureBox,  // a panel with a background colour; may hold other controls
    Label,       // transparent text that sizes itself to its text
    TextBox,     // one line, no border of its own
    Shape,       // a rectangle outline one pixel wide
};

// Identifies a control of a table: its name and, for control arrays, its index.
struct ControlRef {
    std::u16string_view name;
    std::int32_t index = -1;
    friend constexpr bool operator==(ControlRef, ControlRef) = default;
};

struct ControlRow {
    ControlRef ref;
    ControlKind kind = ControlKind::Label;
    ControlRef container;  // empty name: the window itself
    RectTwips rect;
    Colour back;
    Colour fore;
    std::optional<Font> font;
    std::u16string_view text;
    bool visible = true;
    bool clickable = false;
};

enum class Frame {
    FixedToolWindow,  // tool-window title bar, close box only, fixed size
    FixedDialog,      // dialog frame, close box only, fixed size
};

struct FormTable {
    std::u16string_view name;
    std::u16string_view caption;
    Frame frame = Frame::FixedDialog;
    std::int32_t clientWidth = 0;  // twips
    std::int32_t clientHeight = 0;
    Colour background;
    std::vector<ControlRow> controls;

    // The control's row, or nullptr.
    [[nodiscard]] const ControlRow* Find(ControlRef ref) const;
    // The control's position in the table, or -1.
    [[nodiscard]] std::int32_t IndexOf(ControlRef ref) const;
};

// Child-window identifier of the control at a table position.
inline constexpr std::int32_t kFirstControlId = 1000;

}  // namespace orvitex::forms
