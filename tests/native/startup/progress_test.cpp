#include <gtest/gtest.h>

#include "FakeSurface.h"
#include "startup/Progress.h"
#include "startup/RuntimeError.h"

namespace orvitex::startup {
namespace {

using testing::FakeSurface;

// Track 6870 twips wide at 315; the counter's right edge must stay at 7185.
TEST(ShowProgress, CounterAndBarFollowCurrentOverTotal) {
    const struct {
        std::int32_t current, total;
        std::string counter;
        float bar;
    } cases[] = {
        {0, 6, "0/6", 0},
        {3, 6, "3/6", 3435},
        {6, 6, "6/6", 6870},      // equal: exactly the track, no rounding
        {0, 0, "0/0", 6870},      // equal again: full, unlike ResetProgress
        {7, 6, "7/6", 8015},      // wider than the track, which clips it
        {-3, -6, "-3/-6", 3435},  // minus signs kept
        {2, 3, "2/3", static_cast<float>((6870.0 / 3) * 2)},  // divided first, stored single
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.counter);
        FakeSurface view;
        ShowProgress(view, c.current, c.total);
        EXPECT_EQ(ToUtf8(view.counterText), c.counter);
        EXPECT_EQ(view.barWidth, c.bar);
        EXPECT_DOUBLE_EQ(view.counterLeft + view.counterWidth, 315 + 6870);
    }
}

TEST(ShowProgress, RefusedWidthFailsAfterTheCounterChangedAndKeepsTheBar) {
    const struct {
        std::int32_t current, total, number;
    } cases[] = {{1, 0, kDivisionByZero}, {-1, 6, kInvalidPropertyValue}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + "/" + std::to_string(c.total));
        FakeSurface view;
        view.barWidth = 2290;
        try {
            ShowProgress(view, c.current, c.total);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), c.number);
        }
        EXPECT_EQ(ToUtf8(view.counterText),
                  std::to_string(c.current) + "/" + std::to_string(c.total));
        EXPECT_EQ(view.barWidth, 2290);
    }
}

TEST(ResetProgress, YieldsFirstThenEmptiesTheBarAtTheTrackOrigin) {
    std::vector<std::string> journal;
    FakeSurface view;
    view.journal = &journal;
    view.barWidth = 6870;
    ResetProgress(view);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), "yield");
    EXPECT_EQ(ToUtf8(view.counterText), "0/0");
    EXPECT_EQ(view.barLeft, 0);
    EXPECT_EQ(view.barTop, 0);
    EXPECT_EQ(view.barWidth, 0);
}

}  // namespace
}  // namespace orvitex::startup
