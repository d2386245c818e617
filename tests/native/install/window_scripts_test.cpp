// The window scripts in virtual time, each after the run's Sleep(2000).
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "install/WindowScripts.h"

namespace orvitex::install {
namespace {

using namespace std::chrono_literals;
using testing::FakeDesktop;
using Kind = FakeDesktop::Kind;
using ms = std::chrono::milliseconds;
constexpr auto kNever = ms::max();

constexpr char16_t kCaption[] = u"오르비텍스 설치";
constexpr platform::ScreenRect kFirst{100, 50, 620, 470};
constexpr platform::ScreenRect kSecond{140, 80, 700, 520};
constexpr std::uintptr_t kFirstHandle = 11, kSecondHandle = 22;

struct Point {
    std::int32_t x, y;
    friend bool operator==(const Point&, const Point&) = default;
};
// A, B, C and D of the two windows above.
constexpr Point kA{450, 365}, kB{450, 415}, kC{500, 165}, kD{675, 495};

struct ScriptRun {
    FakeDesktop desktop;
    ScriptOutcome outcome{};

    ScriptRun(WizardScript script, ms firstCloses, ms secondOpens = kNever,
              ms secondCloses = kNever, WaitLimits limits = {}) {
        desktop.Open(kCaption, kFirstHandle, kFirst, 0ms, firstCloses);
        desktop.Open(kCaption, kSecondHandle, kSecond, secondOpens, secondCloses);
        desktop.Sleep(2000ms);
        outcome = WindowScripts(desktop, limits).Run(script, kCaption);
    }
    std::vector<Point> Clicks() const {
        std::vector<Point> points;
        for (const auto& e : desktop.Only(Kind::Click)) {
            points.push_back({e.x, e.y});
        }
        return points;
    }
    ms Slept() const {
        ms total = 0ms;
        for (const auto& e : desktop.Only(Kind::Sleep)) {
            total += e.duration;
        }
        return total;
    }
};

// Each script's clicks are proved on real wizards under Wine and its least time by
// the end-to-end run; here windows that come and go as a fake wizard's cannot.
TEST(WindowScripts, ClicksFollowWindowsThatComeAndGo) {
    const struct {
        const char* name;
        WizardScript script;
        ms secondCloses;
        std::vector<Point> clicks;
        ms slept;
    } rows[] = {
        // The later look-up finds nothing: D of the rectangle read before.
        {"finish gone at once", WizardScript::MainSetup, 3265ms, {kA, kA, kD, kD}, 4250ms},
        // B of the first window's last rectangle while only a second one is left.
        {"a second window", WizardScript::ClickUntilGone, 4000ms, {kB, kB, kB, kB}, 4000ms},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const bool main = row.script == WizardScript::MainSetup;
        const ScriptRun run(row.script, main ? 2100ms : 2600ms, main ? 2252ms : 2600ms,
                            row.secondCloses);
        EXPECT_EQ(run.outcome, ScriptOutcome::ClickedThrough);
        EXPECT_EQ(run.Clicks(), row.clicks);
        EXPECT_EQ(run.Slept(), row.slept);
    }
}

TEST(WindowScripts, TheReplacementWaitEndsAsSoonAsTheNewWindowExists) {
    // Closed within 250 ms (the saved handle is empty), or still open when saved.
    for (const ms firstCloses : {2100ms, 9000ms}) {
        SCOPED_TRACE(firstCloses.count());
        const ScriptRun run(WizardScript::MainSetup, firstCloses, 9000ms);
        EXPECT_EQ(run.outcome, ScriptOutcome::ClickedThrough);
        const auto sleeps = run.desktop.Only(Kind::Sleep);
        ASSERT_EQ(sleeps.size(), 4u);
        EXPECT_EQ(sleeps[2].duration, 1000ms);
        EXPECT_GE(sleeps[2].at, 9000ms);
        EXPECT_LT(sleeps[2].at, 9020ms);
        EXPECT_EQ(run.Clicks(), (std::vector<Point>{kA, kA, kD, kD}));
    }
}

TEST(WindowScripts, AWaitEndsAtItsLimitWithoutFurtherClicks) {
    const WaitLimits limits{1min, 1min};
    struct Row {
        const char* name;
        WizardScript script;
        ms firstCloses, secondOpens;
        ScriptOutcome outcome;
        std::size_t clicks;
        ms endsBy;
    };
    // The replacement wait starts at 2251, click until gone at 2000.
    const Row rows[] = {
        {"replaced at the limit", WizardScript::MainSetup, 62251ms, 62251ms,
         ScriptOutcome::ClickedThrough, 4, 62251ms + 11ms + 2000ms},
        {"never replaced", WizardScript::UpdateSetup, kNever, kNever, ScriptOutcome::LimitReached,
         2, 62251ms + 11ms},
        {"gone at the limit", WizardScript::ClickUntilGone, 62000ms, kNever,
         ScriptOutcome::ClickedThrough, 120, 62000ms},
        {"never gone", WizardScript::ClickUntilGone, kNever, kNever, ScriptOutcome::LimitReached,
         120, 62000ms},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScriptRun run(row.script, row.firstCloses, row.secondOpens, kNever, limits);
        EXPECT_EQ(run.outcome, row.outcome);
        EXPECT_EQ(run.Clicks().size(), row.clicks);
        EXPECT_LE(run.desktop.Clock(), row.endsBy);
        EXPECT_GE(run.desktop.Clock(), 62000ms);
    }
}

}  // namespace
}  // namespace orvitex::install
