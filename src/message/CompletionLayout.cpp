#include "message/CompletionLayout.h"

namespace orvitex::message {
namespace {

using forms::Colour;
using forms::ControlKind;
using forms::Font;

constexpr Colour kGrey = Colour::Of(169, 174, 180);
constexpr std::u16string_view kGulim = u"굴림";
constexpr forms::ControlRef kWindow{};

forms::FormTable Build() {
    forms::FormTable f;
    f.name = u"frmMsg";
    f.caption = u"Orvitex 설치";
    f.frame = forms::Frame::FixedDialog;
    f.clientWidth = 6855;
    f.clientHeight = 2655;
    f.background = Colour::Of(55, 62, 70);
    const Font body{kGulim, 12.75};
    // clang-format off
    f.controls = {
        {ctl::pic실행, ControlKind::PictureBox, kWindow, {0, 0, 7080, 6360}, Colour::Of(55, 62, 70), {}, {}, {}},
        {ctl::lblTitle, ControlKind::Label, ctl::pic실행, {270, 225, 2340, 360}, {}, kGrey, Font{kGulim, 18}, u"Orvitex 설치"},
        {ctl::lblLine1, ControlKind::Label, ctl::pic실행, {285, 840, 2775, 255}, {}, kGrey, body, u"설치가 완료 되었습니다."},
        {ctl::lblLine2, ControlKind::Label, ctl::pic실행, {285, 1260, 5880, 255}, {}, kGrey, body, u"열려있는 모든 창에 닫기버튼을 눌러 설치를 종료 후"},
        {ctl::lblLine3, ControlKind::Label, ctl::pic실행, {285, 1680, 3030, 255}, {}, kGrey, body, u"오르비텍스를 사용해 주세요."},
        {ctl::Picture6, ControlKind::PictureBox, ctl::pic실행, {5010, 2145, 1695, 375}, Colour::Of(28, 131, 198), {}, {}, {}, true, true},
        {ctl::Label1, ControlKind::Label, ctl::Picture6, {540, 15, 600, 345}, {}, Colour::Of(255, 255, 255), Font{u"맑은 고딕", 12.75, true}, u"확 인", true, true},
    };
    // clang-format on
    return f;
}

}  // namespace

const forms::FormTable& CompletionForm() {
    static const forms::FormTable form = Build();
    return form;
}

}  // namespace orvitex::message
