#include <gtest/gtest.h>

#include "install/RegistryViews.h"

namespace orvitex::install {
namespace {

using platform::KeyAccess;

// Bugs caught: a key missing in one view that fails the check while the run passes
// there; a key in no view, or refusing one view, that passes; 32-bit Windows judged
// by a second view it does not have.
TEST(RegistryViews, OneViewMissingWarnsNoViewOrARefusalFails) {
    const KeyAccess W = KeyAccess::Writable, M = KeyAccess::Missing, R = KeyAccess::Refused;
    const struct {
        platform::KeyViews views;
        ViewVerdict verdict;
    } rows[] = {
        {{W, W}, ViewVerdict::Pass},       {{W, M}, ViewVerdict::Warn},
        {{M, W}, ViewVerdict::Warn},       {{M, M}, ViewVerdict::Fail},
        {{W, R}, ViewVerdict::Fail},       {{R, M}, ViewVerdict::Fail},
        {{W, M, true}, ViewVerdict::Pass}, {{M, W, true}, ViewVerdict::Fail},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.views.view64) * 10 + static_cast<int>(row.views.view32));
        EXPECT_EQ(JudgeViews(row.views), row.verdict);
    }
}

}  // namespace
}  // namespace orvitex::install
