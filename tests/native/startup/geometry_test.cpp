#include <gtest/gtest.h>

#include <limits>

#include "forms/Geometry.h"

namespace orvitex::forms {
namespace {

TEST(Twips, ConvertToNearestPixelHalvesAwayFromZeroAndSaturate) {
    const struct {
        double twips;
        std::uint32_t dpi;
        std::int32_t pixels;
    } cases[] = {
        {7, 96, 0},
        {8, 96, 1},
        {-8, 96, -1},  // half a pixel is 7.5 twips
        {7815, 96, 521},
        {7815, 144, 782},
        {-195, 96, -13},
        {1e12, 96, std::numeric_limits<std::int32_t>::max()},
        {-1e12, 96, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.twips) + " twips at " + std::to_string(c.dpi));
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
    EXPECT_DOUBLE_EQ(PixelsToTwips(1, 144), 10);
}

TEST(Centre, HalvesInFloatingPointUnroundedAndNegativeOnASmallScreen) {
    EXPECT_EQ(CentreIn(0, 0, {19200, 15360}, {7905, 3990}), (PointTwips{5647.5, 5685}));
    EXPECT_EQ(CentreIn(0, 0, {15, 15}, {7905, 3990}), (PointTwips{-3945, -1987.5}));
    EXPECT_EQ(CentreIn(-100, 250.5, {7905, 3990}, {6945, 3045}), (PointTwips{380, 723}));
}

}  // namespace
}  // namespace orvitex::forms
