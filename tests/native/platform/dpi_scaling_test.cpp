#include "platform/DpiScaling.h"

#include <gtest/gtest.h>

namespace orvitex::platform {
namespace {

// Rounding at 144 dpi is proved by the clicks on real wizards under Wine. Bugs
// caught: a monitor left of the primary one (negative coordinates) rounded the
// other way, a division by a zero dpi.
TEST(DpiScaling, RoundsToTheNearestPixelAsWindowsDoes) {
    struct Row {
        std::int32_t physical;
        std::uint32_t dpi;
        std::int32_t layout;
    };
    const Row rows[] = {{301, 144, 201}, {-301, 144, -201}, {777, 0, 777}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.physical) + " at " + std::to_string(row.dpi));
        EXPECT_EQ(ToLayoutPixels(row.physical, row.dpi), row.layout);
    }
    EXPECT_EQ(ToPhysicalPixels(201, 144), 302);  // 301.5, half away from zero
    EXPECT_EQ(ToPhysicalPixels(-201, 144), -302);
    EXPECT_EQ(ToPhysicalPixels(777, 0), 777);
}

// 301 reads as 201, which maps back to 302: pinning by the scaled rectangle
// would move the wizard by a pixel each time.
TEST(DpiScaling, PinningInPlaceKeepsTheCurrentRectangle) {
    const ScreenRect current{301, 151, 1203, 757};
    const ScreenRect layout = ToLayout(current, 144);
    EXPECT_EQ(ToPhysical(layout, current, 144), current);
    const ScreenRect moved{10, 20, 30, 40};
    EXPECT_EQ(ToPhysical(moved, current, 144), (ScreenRect{15, 30, 45, 60}));
}

}  // namespace
}  // namespace orvitex::platform
