#pragma once
// Twips (1/1440 inch) are the unit of every window and control rectangle; the
// window system works in pixels at the window's DPI (15 twips a pixel at 96 dpi).
#include <cstdint>

namespace orvitex::forms {

inline constexpr double kTwipsPerInch = 1440.0;

// Nearest pixel, halves away from zero; saturates at the 32-bit range so that a
// huge computed width cannot overflow the conversion.
[[nodiscard]] std::int32_t TwipsToPixels(double twips, std::uint32_t dpi);
[[nodiscard]] double PixelsToTwips(std::int32_t pixels, std::uint32_t dpi);

struct PointTwips {
    double left = 0;
    double top = 0;
    friend constexpr bool operator==(PointTwips, PointTwips) = default;
};

struct SizeTwips {
    double width = 0;
    double height = 0;
};

// Top-left corner that puts a window of outer size `own` at the centre of the
// area; halves in floating point, unrounded (may be negative).
[[nodiscard]] PointTwips CentreIn(double areaLeft, double areaTop, SizeTwips area, SizeTwips own);

}  // namespace orvitex::forms
