#include <gtest/gtest.h>

#include "forms/Geometry.h"

namespace orvitex::forms {
namespace {

// The conversion to pixels is proved by the windows under Wine at 96 and 144 dpi.
// Bug caught: a centre rounded early or clamped at zero on a screen smaller than
// the window.
TEST(Centre, HalvesInFloatingPointUnroundedAndNegativeOnASmallScreen) {
    EXPECT_EQ(CentreIn(0, 0, {19200, 15360}, {7905, 3990}), (PointTwips{5647.5, 5685}));
    EXPECT_EQ(CentreIn(0, 0, {15, 15}, {7905, 3990}), (PointTwips{-3945, -1987.5}));
    EXPECT_EQ(CentreIn(-100, 250.5, {7905, 3990}, {6945, 3045}), (PointTwips{380, 723}));
}

}  // namespace
}  // namespace orvitex::forms
