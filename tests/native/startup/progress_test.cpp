#include <gtest/gtest.h>

#include "FakeSurface.h"
#include "platform/Text.h"
#include "startup/Progress.h"
#include "startup/RuntimeError.h"

namespace orvitex::startup {
namespace {

TEST(ShowProgress, RefusedWidthFailsAfterTheCounterChangedAndKeepsTheBar) {
    const struct {
        std::int32_t current, total, number;
    } cases[] = {{1, 0, kDivisionByZero}, {-1, 6, kInvalidPropertyValue}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + "/" + std::to_string(c.total));
        testing::FakeSurface view;
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

}  // namespace
}  // namespace orvitex::startup
