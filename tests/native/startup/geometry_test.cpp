#include <gtest/gtest.h>

#include <limits>

#include "forms/Geometry.h"
#include "message/CompletionWindow.h"

namespace orvitex::forms {
namespace {

TEST(Twips, ConvertToNearestPixelAtTheWindowsDpi) {
    struct Case {
        double twips;
        std::uint32_t dpi;
        std::int32_t pixels;
    };
    const Case cases[] = {
        {7815, 96, 521},
        {3600, 96, 240},
        {-15, 96, -1},
        {-195, 96, -13},
        {7, 96, 0},
        {8, 96, 1},
        {-8, 96, -1},
        {7815, 144, 782},
        {15, 120, 1},
        {6870, 192, 916},
        {1e12, 96, std::numeric_limits<std::int32_t>::max()},
        {-1e12, 96, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.twips) + " twips at " + std::to_string(c.dpi));
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
    EXPECT_DOUBLE_EQ(PixelsToTwips(521, 96), 7815);
    EXPECT_DOUBLE_EQ(PixelsToTwips(1, 144), 10);
}

TEST(Centre, HalvesInFloatingPointUnrounded) {
    struct Case {
        double left, top;
        SizeTwips area, own;
        PointTwips expected;
    };
    const Case cases[] = {
        {0, 0, {19200, 15360}, {7905, 3990}, {5647.5, 5685}},
        {0, 0, {15, 15}, {7905, 3990}, {-3945, -1987.5}},  // smaller screen: negative
        {0, 0, {7905, 3990}, {7905, 3990}, {0, 0}},
        {-100, 250.5, {7905, 3990}, {6945, 3045}, {380, 723}},
        {0, 5647.5, {7905, 3991}, {6944, 3044}, {480.5, 6121}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.expected.left) + "," + std::to_string(c.expected.top));
        const PointTwips got = CentreIn(c.left, c.top, c.area, c.own);
        EXPECT_DOUBLE_EQ(got.left, c.expected.left);
        EXPECT_DOUBLE_EQ(got.top, c.expected.top);
        EXPECT_DOUBLE_EQ(got.left + c.own.width / 2, c.left + c.area.width / 2) << "centres meet";
    }
}

}  // namespace
}  // namespace orvitex::forms
