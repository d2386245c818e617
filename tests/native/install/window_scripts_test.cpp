// The window scripts in virtual time: every run starts after the installation
// run's Sleep(2000), as it does after starting a package.
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
    // F find, R read, P pin, C click, Y yield, W wait for events, S sleep; the
    // first S is the run's.
    std::string Steps() const {
        std::string steps;
        for (const auto& e : desktop.events) {
            if (e.kind != Kind::Cursor) {
                steps += "FRP?CYWS"[static_cast<int>(e.kind)];
            }
        }
        return steps;
    }
    ms Slept() const {
        ms total = 0ms;
        for (const auto& e : desktop.Only(Kind::Sleep)) {
            total += e.duration;
        }
        return total;
    }
};

TEST(WindowScripts, EachScriptClicksItsPointsInItsOrderWithItsLeastTime) {
    struct Row {
        const char* name;
        WizardScript script;
        ms firstCloses, secondOpens, secondCloses;
        std::string steps;
        std::vector<Point> clicks;
        ms slept;
    };
    // Main and update: the first window closes within 250 ms of the second
    // click, the new one opens right after the saved look-up.
    // clang-format off
    const Row rows[] = {
        {"main setup", WizardScript::MainSetup, 2100ms, 2252ms, kNever,
         "SF RPCY RPCS FFFYWFF S YFY RPCS FRC", {kA, kA, kD, kD}, 4250ms},
        // The later look-up finds nothing: D of the rectangle read before.
        {"main setup, finish closes at once", WizardScript::MainSetup, 2100ms, 2252ms, 3265ms,
         "SF RPCY RPCS FFFYWFF S YFY RPCS FRC", {kA, kA, kD, kD}, 4250ms},
        {"update setup", WizardScript::UpdateSetup, 2100ms, 2252ms, kNever,
         "SF RPCY RPCS FFFYWFF S YF RPCSY FRPCSY", {kA, kA, kD, kD}, 7250ms},
        {"click until gone", WizardScript::ClickUntilGone, 2400ms, kNever, kNever,
         "SF FRPCS F", {kB}, 2500ms},
        // B of the first window's last rectangle while only a second one is left.
        {"click until gone, a second window", WizardScript::ClickUntilGone, 2600ms, 2600ms, 4000ms,
         "SF FRPCS FRPCS FRPCS FRPCS F", {kB, kB, kB, kB}, 4000ms},
        {"single click", WizardScript::SingleClick, kNever, kNever, kNever,
         "SF RPC", {kC}, 2000ms},
        {"two clicks", WizardScript::TwoClicks, kNever, kNever, kNever,
         "SF RPCY RPCS", {kA, kA}, 2250ms},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScriptRun run(row.script, row.firstCloses, row.secondOpens, row.secondCloses);
        EXPECT_EQ(run.outcome, ScriptOutcome::ClickedThrough);
        std::string steps = row.steps;
        std::erase(steps, ' ');
        EXPECT_EQ(run.Steps(), steps);
        EXPECT_EQ(run.Clicks(), row.clicks);
        EXPECT_EQ(run.Slept(), row.slept);
    }
}

TEST(WindowScripts, AWizardThatOpensLateIsLookedForOnceAndNeverClicked) {
    for (const auto script :
         {WizardScript::MainSetup, WizardScript::UpdateSetup, WizardScript::ClickUntilGone,
          WizardScript::SingleClick, WizardScript::TwoClicks}) {
        SCOPED_TRACE(static_cast<int>(script));
        FakeDesktop desktop;
        desktop.Open(kCaption, kFirstHandle, kFirst, 2001ms);
        desktop.Sleep(2000ms);
        EXPECT_EQ(WindowScripts(desktop, {}).Run(script, kCaption), ScriptOutcome::NotFound);
        EXPECT_EQ(desktop.events.size(), 2u);  // the run's sleep and one look-up
        EXPECT_EQ(desktop.Clock(), 2000ms);
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
