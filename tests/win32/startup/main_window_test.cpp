#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "platform/Text.h"
#include "platform/win32/WideString.h"
#include "startup/MainWindowLayout.h"

namespace orvitex::startup {
namespace {

using forms::ControlKind;
using testing::RectInParent;
using testing::WindowFixture;

std::u16string ClassOf(HWND window) {
    wchar_t name[64]{};
    GetClassNameW(window, name, 64);
    return orvitex::win32::FromWide(name);
}

// Where each control sits and what it reads is checked on the real program by the
// end-to-end probe; here what the probe does not see: frame and control styles.
TEST(MainWindowOnScreen, FrameAndControlsHaveTheirStyles) {
    WindowFixture f;
    HWND window = f.main.Window().Handle();
    const auto style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU) << "close box";
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(IsWindowVisible(window)) << "hidden until shown";
    for (const forms::ControlRow& c : MainWindowForm().controls) {
        SCOPED_TRACE(ToUtf8(c.ref.name) + " " + std::to_string(c.ref.index));
        HWND child = f.main.Window().ControlHandle(c.ref);
        ASSERT_NE(child, nullptr);
        const auto childStyle = GetWindowLongW(child, GWL_STYLE);
        if (c.kind == ControlKind::Label) {
            EXPECT_EQ(AsciiLower(ClassOf(child)), u"static");
            EXPECT_EQ(childStyle & SS_NOTIFY, c.clickable ? SS_NOTIFY : 0);
        } else if (c.kind == ControlKind::TextBox) {
            EXPECT_EQ(AsciiLower(ClassOf(child)), u"edit");
            EXPECT_FALSE(childStyle & WS_BORDER);
            EXPECT_FALSE(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        }
    }
}

TEST(MainWindowOnScreen, OutlinesAreOnePixelFrames) {
    WindowFixture f;
    for (const forms::ControlRef shape : {ctl::Shape1, ctl::Shape2}) {
        SCOPED_TRACE(ToUtf8(shape.name));
        HWND window = f.main.Window().ControlHandle(shape);
        RECT r{};
        GetClientRect(window, &r);
        forms::win32::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(window, region.get()), ERROR);
        EXPECT_TRUE(PtInRegion(region.get(), 0, 0));
        EXPECT_TRUE(PtInRegion(region.get(), r.right - 1, r.bottom - 1));
        EXPECT_FALSE(PtInRegion(region.get(), 1, 1)) << "the inside shows what it frames";
        EXPECT_FALSE(PtInRegion(region.get(), r.right / 2, r.bottom / 2));
    }
}

TEST(MainWindowOnScreen, LoadCentresTheWindowOnTheScreen) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    const forms::SizeTwips screen = f.main.ScreenSize();
    const forms::SizeTwips outer = f.main.OuterSize();
    RECT r{};
    GetWindowRect(f.main.Window().Handle(), &r);
    EXPECT_EQ(r.left, f.Px(screen.width / 2 - outer.width / 2));
    EXPECT_EQ(r.top, f.Px(screen.height / 2 - outer.height / 2));
}

TEST(ProgressOnScreen, CounterKeepsItsRightEdgeAndTheBarFillsInSixths) {
    WindowFixture f;
    f.main.Logic().Form_Load();
    HWND counter = f.main.Window().ControlHandle(ctl::lblstate전체);
    HWND bar = f.main.Window().ControlHandle(ctl::picProgressbar전체);
    const std::int32_t trackRight = f.Px(315 + 6870);
    struct Case {
        std::int32_t current, total;
        double barTwips;
    };
    const Case cases[] = {{0, 6, 0},    {-3, -6, 3435}, {6, 6, 6870},
                          {0, 0, 6870}, {7, 6, 8015},   {1234567, 6, 6870.0 / 6 * 1234567}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + "/" + std::to_string(c.total));
        f.main.Logic().ShowProgress(c.current, c.total);
        EXPECT_EQ(ToUtf8(f.main.Window().Text(ctl::lblstate전체)),
                  std::to_string(c.current) + "/" + std::to_string(c.total));
        const RECT r = RectInParent(counter);
        EXPECT_NEAR(r.right, trackRight, 1) << "right edge under the track's right end";
        const RECT b = RectInParent(bar);
        EXPECT_EQ(b.right - b.left, std::min(f.Px(c.barTwips), 32767));
        EXPECT_EQ(b.bottom - b.top, f.Px(915)) << "the height stays";
    }
    if (f.Dpi() == 96) {
        f.main.Logic().ShowProgress(3, 6);
        EXPECT_EQ(RectInParent(bar).right, 229);
        EXPECT_EQ(RectInParent(counter).right, 479);
    }
}

}  // namespace
}  // namespace orvitex::startup
