#include <gtest/gtest.h>

#include "FakeUi.h"
#include "install/ExitCodes.h"
#include "message/CompletionWindow.h"

namespace orvitex::message {
namespace {

using testing::FakeUi;
using testing::ProgramEnded;

class FakeCompletionSurface : public CompletionSurface {
public:
    forms::SizeTwips outer{6945, 3045};
    forms::PointTwips position{};
    int moves = 0;
    forms::SizeTwips OuterSize() override { return outer; }
    void Move(forms::PointTwips topLeft) override {
        position = topLeft;
        ++moves;
    }
};

TEST(CompletionWindow, CentreMeetsTheMainWindowsCentreWhereverItIs) {
    const WindowBox mains[] = {
        {{5647.5, 5685}, {7905, 3990}},
        {{0, 5685}, {7905, 3990}},  // moved to the left edge by the run
        {{-3000, -10}, {7905, 3991}},
    };
    for (const WindowBox& main : mains) {
        SCOPED_TRACE(std::to_string(main.topLeft.left) + "," + std::to_string(main.topLeft.top));
        FakeCompletionSurface surface;
        FakeUi ui;
        frmMsg window(surface, ui);
        window.Form_Load(main);
        EXPECT_EQ(surface.moves, 1);
        EXPECT_DOUBLE_EQ(surface.position.left + surface.outer.width / 2,
                         main.topLeft.left + main.size.width / 2);
        EXPECT_DOUBLE_EQ(surface.position.top + surface.outer.height / 2,
                         main.topLeft.top + main.size.height / 2);
    }
}

TEST(CompletionWindow, EitherPartOfTheButtonEndsTheProgramComplete) {
    FakeCompletionSurface surface;
    FakeUi ui;
    frmMsg window(surface, ui);
    for (const bool caption : {true, false}) {
        SCOPED_TRACE(caption ? "Label1" : "Picture6");
        try {
            caption ? window.Label1_Click() : window.Picture6_Click();
        } catch (const ProgramEnded& ended) {
            EXPECT_EQ(ended.exitCode, install::kExitComplete);
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace orvitex::message
