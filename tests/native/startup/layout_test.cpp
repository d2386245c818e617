#include <gtest/gtest.h>

#include "message/CompletionLayout.h"
#include "platform/Text.h"
#include "startup/MainWindowLayout.h"

namespace orvitex::forms {
namespace {

std::string Name(ControlRef ref) {
    return ToUtf8(ref.name) + (ref.index >= 0 ? "(" + std::to_string(ref.index) + ")" : "");
}

struct Row {
    ControlRef ref;
    ControlKind kind;
    ControlRef container;
    RectTwips rect;
    std::u16string_view text;
    double points;  // 0: no font
    bool clickable;
};

void ExpectRows(const FormTable& form, std::initializer_list<Row> rows) {
    ASSERT_EQ(form.controls.size(), rows.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(Name(row.ref));
        const ControlRow* c = form.Find(row.ref);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, row.kind);
        EXPECT_EQ(c->container, row.container);
        EXPECT_EQ(c->rect, row.rect);
        EXPECT_EQ(c->text, row.text);
        EXPECT_EQ(c->font ? c->font->points : 0, row.points);
        EXPECT_EQ(c->clickable, row.clickable);
    }
}

// Containers come before what they hold, so a builder can create them in order.
void ExpectContainersFirst(const FormTable& form) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ControlRow& c = form.controls[i];
        SCOPED_TRACE(Name(c.ref));
        EXPECT_EQ(form.IndexOf(c.ref), static_cast<std::int32_t>(i)) << "names are unique";
        if (!c.container.name.empty()) {
            const std::int32_t at = form.IndexOf(c.container);
            ASSERT_GE(at, 0);
            EXPECT_LT(at, static_cast<std::int32_t>(i));
            EXPECT_EQ(form.controls[static_cast<std::size_t>(at)].kind, ControlKind::PictureBox);
        }
    }
}

TEST(MainWindowForm, HoldsTheDesignedControls) {
    using namespace startup::ctl;
    const FormTable& form = startup::MainWindowForm();
    EXPECT_EQ(form.caption, u"Orvitex 설치");
    EXPECT_EQ(form.frame, Frame::FixedToolWindow);
    EXPECT_EQ(form.clientWidth, 7815);
    EXPECT_EQ(form.clientHeight, 3600);
    const ControlRef w{};
    using K = ControlKind;
    ExpectRows(
        form,
        {
            {PicMenu, K::PictureBox, w, {0, 0, 375, 5370}, u"", 0, false},
            {pic실행, K::PictureBox, w, {375, -15, 8775, 3630}, u"", 0, false},
            {lblTitle, K::Label, pic실행, {270, 225, 2340, 360}, u"Orvitex 설치", 18, false},
            {lblCode, K::Label, pic실행, {285, 840, 1530, 255}, u"요양기관기호", 12.75, false},
            {txt요양기관기호, K::TextBox, pic실행, {2160, 795, 5025, 375}, u"", 12, false},
            {Shape1, K::Shape, pic실행, {2145, 780, 5055, 405}, u"", 0, false},
            {picProgress전체, K::PictureBox, pic실행, {315, 1290, 6870, 375}, u"", 0, false},
            {picProgressbar전체,
             K::PictureBox,
             picProgress전체,
             {-30, -195, 165, 915},
             u"",
             0,
             false},
            {Shape2, K::Shape, pic실행, {300, 1275, 6900, 405}, u"", 0, false},
            {lbl진행상태,
             K::Label,
             pic실행,
             {285, 1740, 1650, 165},
             u"설치가 진행중 입니다.",
             8.25,
             false},
            {lblstate전체, K::Label, pic실행, {6915, 1725, 240, 195}, u"0/0", 8.25, false},
            {Label2,
             K::Label,
             pic실행,
             {255, 2040, 6825, 225},
             u"자동설치 프로그램입니다. 설치화면이 나와도 버튼을 누르지마세요.",
             11.25,
             false},
            {Label3,
             K::Label,
             pic실행,
             {240, 2340, 4215, 285},
             u"설치가 진행되는동안 마우스 및",
             14.25,
             false},
            {Label4,
             K::Label,
             pic실행,
             {2385, 2715, 4920, 285},
             u"키보드 조작을 멈춰주시기 바랍니다.",
             14.25,
             false},
            {Picture6, K::PictureBox, pic실행, {5505, 3165, 1695, 375}, u"", 0, true},
            {Label1, K::Label, Picture6, {525, 15, 600, 345}, u"실 행", 12.75, true},
        });
    ExpectContainersFirst(form);
}

TEST(MainWindowForm, ColoursFontsAndFramesAsDesigned) {
    using namespace startup::ctl;
    const FormTable& form = startup::MainWindowForm();
    const auto at = [&](ControlRef r) { return *form.Find(r); };
    EXPECT_EQ(at(PicMenu).back, Colour::Of(30, 30, 30));
    EXPECT_EQ(at(pic실행).back, Colour::Of(55, 62, 70));
    EXPECT_EQ(at(txt요양기관기호).back, Colour::Of(55, 62, 70));
    EXPECT_EQ(at(txt요양기관기호).fore, Colour::Of(169, 174, 180));
    EXPECT_EQ(at(picProgressbar전체).back, Colour::ButtonFace());
    EXPECT_EQ(at(Picture6).back, Colour::Of(28, 131, 198));
    EXPECT_EQ(at(Label1).fore, Colour::Of(255, 255, 255));
    EXPECT_EQ(at(Label1).font, (Font{u"맑은 고딕", 12.75, true, false}));
    EXPECT_EQ(at(Label2).font, (Font{u"굴림", 11.25, false, true}));
    for (const ControlRef warning : {Label3, Label4}) {
        EXPECT_EQ(at(warning).fore, Colour::Of(255, 0, 0));
        EXPECT_EQ(at(warning).font, (Font{u"굴림", 14.25, true, true}));
    }
    for (const ControlRef sand : {lbl진행상태, Label2}) {
        EXPECT_EQ(at(sand).fore, Colour::Of(217, 190, 160));
    }
    // Each outline lies 15 twips outside what it frames.
    for (const auto& [shape, inner] :
         {std::pair{Shape1, txt요양기관기호}, {Shape2, picProgress전체}}) {
        SCOPED_TRACE(Name(shape));
        const RectTwips o = at(shape).rect, i = at(inner).rect;
        EXPECT_EQ(o, (RectTwips{i.left - 15, i.top - 15, i.width + 30, i.height + 30}));
    }
    // The two panels cover the client area.
    const RectTwips menu = at(PicMenu).rect, panel = at(pic실행).rect;
    EXPECT_EQ(menu.left + menu.width, panel.left);
    EXPECT_LE(panel.top, 0);
    EXPECT_GE(panel.left + panel.width, form.clientWidth);
    EXPECT_GE(panel.top + panel.height, form.clientHeight);
    EXPECT_GE(menu.height, form.clientHeight);
    for (const ControlRow& c : form.controls) {
        SCOPED_TRACE(Name(c.ref));
        EXPECT_TRUE(c.visible) << "only ResetInput hides the status line";
    }
}

TEST(CompletionForm, HoldsTheDesignedControls) {
    using namespace message::ctl;
    const FormTable& form = message::CompletionForm();
    EXPECT_EQ(form.caption, u"Orvitex 설치");
    EXPECT_EQ(form.frame, Frame::FixedDialog);
    EXPECT_EQ(form.clientWidth, 6855);
    EXPECT_EQ(form.clientHeight, 2655);
    const ControlRef w{};
    using K = ControlKind;
    ExpectRows(form,
               {
                   {pic실행, K::PictureBox, w, {0, 0, 7080, 6360}, u"", 0, false},
                   {lblTitle, K::Label, pic실행, {270, 225, 2340, 360}, u"Orvitex 설치", 18, false},
                   {lblLine1,
                    K::Label,
                    pic실행,
                    {285, 840, 2775, 255},
                    u"설치가 완료 되었습니다.",
                    12.75,
                    false},
                   {lblLine2,
                    K::Label,
                    pic실행,
                    {285, 1260, 5880, 255},
                    u"열려있는 모든 창에 닫기버튼을 눌러 설치를 종료 후",
                    12.75,
                    false},
                   {lblLine3,
                    K::Label,
                    pic실행,
                    {285, 1680, 3030, 255},
                    u"오르비텍스를 사용해 주세요.",
                    12.75,
                    false},
                   {Picture6, K::PictureBox, pic실행, {5010, 2145, 1695, 375}, u"", 0, true},
                   {Label1, K::Label, Picture6, {540, 15, 600, 345}, u"확 인", 12.75, true},
               });
    ExpectContainersFirst(form);
    EXPECT_EQ(form.Find(Label1)->font, (Font{u"맑은 고딕", 12.75, true, false}));
    EXPECT_EQ(form.Find(pic실행)->back, Colour::Of(55, 62, 70));
    EXPECT_EQ(form.Find(Picture6)->back, Colour::Of(28, 131, 198));
}

}  // namespace
}  // namespace orvitex::forms
