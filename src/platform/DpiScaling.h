#pragma once
// Screen pixels at a display's DPI and pixels of a 96-dpi layout, converted as
// Windows converts them for a DPI-unaware program (MulDiv: rounded to nearest,
// halves away from zero).
#include <cstdint>

#include "platform/Desktop.h"

namespace orvitex::platform {

inline constexpr std::uint32_t kLayoutDpi = 96;

// A DPI of 0 (a failed query) counts as 96: nothing is scaled.
[[nodiscard]] std::int32_t ToLayoutPixels(std::int32_t physical, std::uint32_t dpi);
[[nodiscard]] std::int32_t ToPhysicalPixels(std::int32_t layout, std::uint32_t dpi);
[[nodiscard]] ScreenRect ToLayout(const ScreenRect& physical, std::uint32_t dpi);

// The physical rectangle for a layout rectangle. A window whose current rectangle
// reads as that layout rectangle keeps its current one, so that making it topmost
// where it stands never moves it by a rounding pixel.
[[nodiscard]] ScreenRect ToPhysical(const ScreenRect& layout, const ScreenRect& current,
                                    std::uint32_t dpi);

}  // namespace orvitex::platform
