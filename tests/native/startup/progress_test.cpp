#include <gtest/gtest.h>

#include "FakeSurface.h"
#include "startup/Progress.h"
#include "startup/RuntimeError.h"

namespace orvitex::startup {
namespace {

using testing::FakeSurface;

TEST(ShowProgress, CounterAndBarFollowCurrentOverTotal) {
    struct Case {
        std::int32_t current, total;
        std::string counter;
        double bar;
    };
    const Case cases[] = {
        {0, 6, "0/6", 0},
        {1, 6, "1/6", 1145},
        {3, 6, "3/6", 3435},
        {5, 6, "5/6", 5725},
        {6, 6, "6/6", 6870},
        {0, 0, "0/0", 6870},      // equal: a full bar, unlike ResetProgress
        {7, 6, "7/6", 8015},      // wider than the track, which clips it
        {-2, -2, "-2/-2", 6870},  // equal again, minus signs kept
        {-3, -6, "-3/-6", 3435},
        {1000000, 3, "1000000/3", static_cast<float>(6870.0 / 3 * 1000000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.counter);
        FakeSurface view;
        ShowProgress(view, c.current, c.total);
        EXPECT_EQ(ToUtf8(view.counterText), c.counter);
        EXPECT_EQ(view.barWidth, c.bar);
        EXPECT_DOUBLE_EQ(view.counterLeft + view.counterWidth, 315 + 6870)
            << "right edge under the track's right end";
        EXPECT_EQ(view.barLeft, -30) << "left and top are those of the last reset";
    }
}

TEST(ShowProgress, WidthIsDividedFirstThenStoredAsSingle) {
    FakeSurface view;
    view.trackWidth = 1000;
    ShowProgress(view, 2, 3);
    EXPECT_EQ(view.barWidth, static_cast<float>((1000.0 / 3) * 2));
    EXPECT_NE(static_cast<double>(view.barWidth), (1000.0 / 3) * 2) << "single, not double";
}

TEST(ShowProgress, RefusedWidthFailsAfterTheCounterChangedAndKeepsTheBar) {
    struct Case {
        std::int32_t current, total, number;
    };
    const Case cases[] = {{1, 0, kDivisionByZero},
                          {-1, 0, kDivisionByZero},
                          {-1, 6, kInvalidPropertyValue},
                          {1, -6, kInvalidPropertyValue}};
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
        EXPECT_DOUBLE_EQ(view.counterLeft + view.counterWidth, 7185);
        EXPECT_EQ(view.barWidth, 2290);
    }
}

TEST(ResetProgress, YieldsFirstThenEmptiesTheBarAtTheTrackOrigin) {
    std::vector<std::string> journal;
    FakeSurface view;
    view.journal = &journal;
    view.counterText = u"12/345";
    view.barWidth = 6870;
    ResetProgress(view);
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.front(), "yield");
    EXPECT_EQ(ToUtf8(view.counterText), "0/0");
    EXPECT_DOUBLE_EQ(view.counterLeft, 7185 - 3 * FakeSurface::kTwipsPerChar);
    EXPECT_EQ(view.barLeft, 0);
    EXPECT_EQ(view.barTop, 0);
    EXPECT_EQ(view.barWidth, 0);

    journal.clear();
    ShowProgress(view, 2, 6);
    EXPECT_EQ(journal.front(), "yield");
    EXPECT_EQ(view.barLeft, 0);
}

}  // namespace
}  // namespace orvitex::startup
