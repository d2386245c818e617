#include "forms/Geometry.h"

#include <cmath>
#include <limits>

namespace orvitex::forms {

std::int32_t TwipsToPixels(double twips, std::uint32_t dpi) {
    const double pixels = std::round(twips * dpi / kTwipsPerInch);
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(pixels)) {
        return 0;
    }
    if (pixels >= kMax) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (pixels <= kMin) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(pixels);
}

double PixelsToTwips(std::int32_t pixels, std::uint32_t dpi) {
    return pixels * kTwipsPerInch / dpi;
}

PointTwips CentreIn(double areaLeft, double areaTop, SizeTwips area, SizeTwips own) {
    return {areaLeft + area.width / 2 - own.width / 2, areaTop + area.height / 2 - own.height / 2};
}

}  // namespace orvitex::forms
