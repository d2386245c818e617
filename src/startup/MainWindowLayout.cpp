#include "startup/MainWindowLayout.h"

namespace orvitex::startup {
namespace {

using forms::Colour;
using forms::ControlKind;
using forms::Font;

constexpr Colour kPanel = Colour::Of(55, 62, 70);
constexpr Colour kGrey = Colour::Of(169, 174, 180);
constexpr Colour kSand = Colour::Of(217, 190, 160);
constexpr Colour kRed = Colour::Of(255, 0, 0);
constexpr Colour kBlue = Colour::Of(28, 131, 198);
constexpr Colour kWhite = Colour::Of(255, 255, 255);
constexpr std::u16string_view kGulim = u"굴림";
constexpr std::u16string_view kMalgun = u"맑은 고딕";
constexpr forms::ControlRef kWindow{};

forms::FormTable Build() {
    forms::FormTable f;
    f.name = u"frm오르비설치";
    f.caption = kMainCaption;
    f.frame = forms::Frame::FixedToolWindow;
    f.clientWidth = 7815;
    f.clientHeight = 3600;
    f.background = kWhite;
    const Font gulim18{kGulim, 18};
    const Font gulim1275{kGulim, 12.75};
    const Font gulim825{kGulim, 8.25};
    const Font warning{kGulim, 14.25, true, true};
    // clang-format off
    f.controls = {
        {ctl::PicMenu, ControlKind::PictureBox, kWindow, {0, 0, 375, 5370}, Colour::Of(30, 30, 30), {}, {}, {}},
        {ctl::pic실행, ControlKind::PictureBox, kWindow, {375, -15, 8775, 3630}, kPanel, {}, {}, {}},
        {ctl::lblTitle, ControlKind::Label, ctl::pic실행, {270, 225, 2340, 360}, {}, kGrey, gulim18, u"Orvitex 설치"},
        {ctl::lblCode, ControlKind::Label, ctl::pic실행, {285, 840, 1530, 255}, {}, kGrey, gulim1275, u"요양기관기호"},
        {ctl::txt요양기관기호, ControlKind::TextBox, ctl::pic실행, {2160, 795, 5025, 375}, kPanel, kGrey, Font{kGulim, 12}, u""},
        {ctl::Shape1, ControlKind::Shape, ctl::pic실행, {2145, 780, 5055, 405}, {}, kGrey, {}, {}},
        {ctl::picProgress전체, ControlKind::PictureBox, ctl::pic실행, {315, 1290, 6870, 375}, kPanel, {}, {}, {}},
        {ctl::picProgressbar전체, ControlKind::PictureBox, ctl::picProgress전체, {-30, -195, 165, 915}, Colour::ButtonFace(), {}, {}, {}},
        {ctl::Shape2, ControlKind::Shape, ctl::pic실행, {300, 1275, 6900, 405}, {}, kGrey, {}, {}},
        {ctl::lbl진행상태, ControlKind::Label, ctl::pic실행, {285, 1740, 1650, 165}, {}, kSand, gulim825, u"설치가 진행중 입니다."},
        {ctl::lblstate전체, ControlKind::Label, ctl::pic실행, {6915, 1725, 240, 195}, {}, kGrey, gulim825, u"0/0"},
        {ctl::Label2, ControlKind::Label, ctl::pic실행, {255, 2040, 6825, 225}, {}, kSand, Font{kGulim, 11.25, false, true}, u"자동설치 프로그램입니다. 설치화면이 나와도 버튼을 누르지마세요."},
        {ctl::Label3, ControlKind::Label, ctl::pic실행, {240, 2340, 4215, 285}, {}, kRed, warning, u"설치가 진행되는동안 마우스 및"},
        {ctl::Label4, ControlKind::Label, ctl::pic실행, {2385, 2715, 4920, 285}, {}, kRed, warning, u"키보드 조작을 멈춰주시기 바랍니다."},
        {ctl::Picture6, ControlKind::PictureBox, ctl::pic실행, {5505, 3165, 1695, 375}, kBlue, {}, {}, {}, true, true},
        {ctl::Label1, ControlKind::Label, ctl::Picture6, {525, 15, 600, 345}, {}, kWhite, Font{kMalgun, 12.75, true}, u"실 행", true, true},
    };
    // clang-format on
    return f;
}

}  // namespace

const forms::FormTable& MainWindowForm() {
    static const forms::FormTable form = Build();
    return form;
}

}  // namespace orvitex::startup
