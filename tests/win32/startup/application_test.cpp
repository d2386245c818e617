#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "startup/MainWindowLayout.h"
#include "startup/RuntimeError.h"

namespace orvitex::startup {
namespace {

using testing::WindowFixture;

// Window code has no error trap: a failure inside a click must reach whoever
// runs the event loop; events still queued wait for the next one.
TEST(EventFailure, ReachesTheLoopThatDeliveredTheEvent) {
    WindowFixture f;
    int clicks = 0;
    f.main.Window().OnClick(ctl::Picture6, [&clicks] {
        ++clicks;
        throw RuntimeError(kDivisionByZero, "Division by zero");
    });
    HWND body = f.main.Window().ControlHandle(ctl::Picture6);
    for (int i = 0; i < 2; ++i) {
        PostMessageW(body, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(body, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    for (const int expected : {1, 2}) {
        SCOPED_TRACE(expected);
        try {
            f.app.Yield();
            ADD_FAILURE() << "the failure stayed inside the window system";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), kDivisionByZero);
        }
        EXPECT_EQ(clicks, expected);
    }
    EXPECT_NO_THROW(f.app.Yield());
    // The same holds for the progress display driven from the loop's owner.
    EXPECT_THROW(f.main.Logic().ShowProgress(1, 0), RuntimeError);
    EXPECT_EQ(f.main.Window().Text(ctl::lblstate전체), u"1/0") << "the counter changed first";
}

}  // namespace
}  // namespace orvitex::startup
