// The window scripts in virtual time, each after the run's Sleep(2000).
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "install/WindowScripts.h"

namespace orvitex::install {
namespace {

using namespace std::chrono_literals;
using ms = std::chrono::milliseconds;
constexpr auto kNever = ms::max();
constexpr char16_t kCaption[] = u"오르비텍스 설치";

struct Point {
    std::int32_t x, y;
    friend bool operator==(const Point&, const Point&) = default;
};
// A, B and D of the windows {100, 50, 620, 470} and {140, 80, 700, 520}.
constexpr Point kA{450, 365}, kB{450, 415}, kD{675, 495};
const std::vector<Point> kAADD{kA, kA, kD, kD};

// Wine and the end-to-end run prove the clicks on real wizards; here windows that
// come and go as no fake wizard can, and the wait limits, which only virtual time
// reaches: a wait that polls on after the new window, ends early or runs past it;
// each click heard by the run's log at the point pressed.
TEST(WindowScripts, ClicksFollowWindowsThatComeAndGoAndWaitsEndAtTheirLimits) {
    const struct {
        const char* name;
        WizardScript script;
        ms firstCloses, secondOpens, secondCloses;
        ScriptOutcome outcome;
        std::vector<Point> clicks;
        ms endsFrom, endsBy;
    } rows[] = {
        // The later look-up finds nothing: D of the rectangle read before.
        {"finish gone at once", WizardScript::MainSetup, 2100ms, 2252ms, 3265ms,
         ScriptOutcome::ClickedThrough, kAADD, 4250ms, 4300ms},
        // B of the first window's last rectangle while only a second one is left.
        {"a second window", WizardScript::ClickUntilGone, 2600ms, 2600ms, 4000ms,
         ScriptOutcome::ClickedThrough, std::vector<Point>(4, kB), 4000ms, 4010ms},
        // The saved handle is empty, or the first window is still open when saved.
        {"replaced late, first closed", WizardScript::MainSetup, 2100ms, 9000ms, kNever,
         ScriptOutcome::ClickedThrough, kAADD, 11000ms, 11022ms},
        {"replaced late, first open", WizardScript::MainSetup, 9000ms, 9000ms, kNever,
         ScriptOutcome::ClickedThrough, kAADD, 11000ms, 11022ms},
        // Limits of a minute from 2251 (the replacement wait) or 2000 (until gone).
        {"replaced at the limit", WizardScript::MainSetup, 62251ms, 62251ms, kNever,
         ScriptOutcome::ClickedThrough, kAADD, 64251ms, 64262ms},
        {"never replaced", WizardScript::UpdateSetup, kNever, kNever, kNever,
         ScriptOutcome::LimitReached, std::vector<Point>(2, kA), 62251ms, 62262ms},
        {"gone at the limit", WizardScript::ClickUntilGone, 62000ms, kNever, kNever,
         ScriptOutcome::ClickedThrough, std::vector<Point>(120, kB), 62000ms, 62000ms},
        {"never gone", WizardScript::ClickUntilGone, kNever, kNever, kNever,
         ScriptOutcome::LimitReached, std::vector<Point>(120, kB), 62000ms, 62000ms},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        testing::FakeDesktop desktop;
        desktop.Open(kCaption, 11, {100, 50, 620, 470}, 0ms, row.firstCloses);
        desktop.Open(kCaption, 22, {140, 80, 700, 520}, row.secondOpens, row.secondCloses);
        desktop.Sleep(2000ms);
        std::vector<Point> heard;
        const auto hear = [&](const ClickRecord& c) { heard.push_back({c.x, c.y}); };
        EXPECT_EQ(WindowScripts(desktop, {1min, 1min}).Run(row.script, kCaption, hear),
                  row.outcome);
        std::vector<Point> clicks;
        for (const auto& e : desktop.Only(testing::FakeDesktop::Kind::Click))
            clicks.push_back({e.x, e.y});
        EXPECT_EQ(clicks, row.clicks);
        EXPECT_EQ(heard, row.clicks) << "a click logged where none was pressed, or not logged";
        EXPECT_GE(desktop.Now(), row.endsFrom);
        EXPECT_LE(desktop.Now(), row.endsBy);
    }
}

}  // namespace
}  // namespace orvitex::install
