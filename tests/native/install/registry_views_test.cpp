#include <gtest/gtest.h>

#include "FakeFileSystem.h"
#include "FakeRegistry.h"
#include "install/ObservedRegistry.h"
#include "install/RegistryViews.h"
#include "install/ServerAliases.h"
#include "install/Workstation.h"
#include "platform/Text.h"

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

// Bugs caught: a run whose log and report call a value written in both views when it
// landed in one, or that name a second view on 32-bit Windows.
TEST(RegistryViews, TheRunNamesEachViewsResult) {
    const std::u16string connectTo(kConnectToKey), policies(kPolicyKey);
    for (const bool oneView : {false, true}) {
        SCOPED_TRACE(oneView);
        testing::FakeRegistry registry;
        registry.oneView = oneView;
        registry.AddKey(connectTo);
        registry.AddKey(policies);
        registry.HideFrom32BitView(connectTo);
        testing::FakeFileSystem files;
        std::vector<std::u16string> lines;
        RunLog log(files, [&lines](std::u16string_view line) { lines.emplace_back(line); });
        std::vector<RegistryWriteRecord> writes;
        WriteWorkstationSettings(registry, u"SRV", log, &writes);
        ASSERT_EQ(writes.size(), 15u);
        const std::u16string alias =
            oneView ? u"one view (32-bit Windows): written"
                    : u"64-bit view: written; 32-bit view: missing, 32-bit programs will not see "
                      u"the value";
        EXPECT_EQ(writes[0].result.outcome, WriteOutcome::Written);
        EXPECT_EQ(writes[0].views, alias);
        EXPECT_TRUE(lines.at(0).ends_with(u": written (" + alias + u")")) << ToUtf8(lines.at(0));
    }
}

}  // namespace
}  // namespace orvitex::install
