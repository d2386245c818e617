#include "platform/DpiScaling.h"

#include <algorithm>
#include <limits>

namespace orvitex::platform {
namespace {

std::int32_t Scale(std::int32_t value, std::uint32_t numerator, std::uint32_t denominator) {
    if (numerator == 0 || denominator == 0) {
        return value;
    }
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t scaled =
        (product >= 0 ? product + half : product - half) / std::int64_t{denominator};
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(scaled, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t ToLayoutPixels(std::int32_t physical, std::uint32_t dpi) {
    return Scale(physical, kLayoutDpi, dpi);
}

std::int32_t ToPhysicalPixels(std::int32_t layout, std::uint32_t dpi) {
    return Scale(layout, dpi, kLayoutDpi);
}

ScreenRect ToLayout(const ScreenRect& p, std::uint32_t dpi) {
    return {ToLayoutPixels(p.left, dpi), ToLayoutPixels(p.top, dpi), ToLayoutPixels(p.right, dpi),
            ToLayoutPixels(p.bottom, dpi)};
}

ScreenRect ToPhysical(const ScreenRect& layout, const ScreenRect& current, std::uint32_t dpi) {
    if (ToLayout(current, dpi) == layout) {
        return current;
    }
    return {ToPhysicalPixels(layout.left, dpi), ToPhysicalPixels(layout.top, dpi),
            ToPhysicalPixels(layout.right, dpi), ToPhysicalPixels(layout.bottom, dpi)};
}

}  // namespace orvitex::platform
