#include <gtest/gtest.h>

#include "message/CompletionLayout.h"
#include "platform/Text.h"
#include "startup/MainWindowLayout.h"

namespace orvitex::forms {
namespace {

// The texts the user reads, byte for byte; the Wine tests compare the real
// windows with these tables, so a slip here would pass there.
TEST(Forms, CaptionsAndLabelsReadAsDesigned) {
    namespace m = startup::ctl;
    namespace c = message::ctl;
    const FormTable &start = startup::MainWindowForm(), &done = message::CompletionForm();
    const struct {
        const FormTable& form;
        ControlRef ref;
        std::u16string_view text;
    } rows[] = {
        {start, m::lblTitle, u"Orvitex 설치"},
        {start, m::lblCode, u"요양기관기호"},
        {start, m::lbl진행상태, u"설치가 진행중 입니다."},
        {start, m::Label2, u"자동설치 프로그램입니다. 설치화면이 나와도 버튼을 누르지마세요."},
        {start, m::Label3, u"설치가 진행되는동안 마우스 및"},
        {start, m::Label4, u"키보드 조작을 멈춰주시기 바랍니다."},
        {start, m::Label1, u"실 행"},
        {done, c::lblTitle, u"Orvitex 설치"},
        {done, c::lblLine1, u"설치가 완료 되었습니다."},
        {done, c::lblLine2, u"열려있는 모든 창에 닫기버튼을 눌러 설치를 종료 후"},
        {done, c::lblLine3, u"오르비텍스를 사용해 주세요."},
        {done, c::Label1, u"확 인"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(ToUtf8(row.text));
        const ControlRow* control = row.form.Find(row.ref);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->text, row.text);
    }
    EXPECT_EQ(start.caption, u"Orvitex 설치");
    EXPECT_EQ(done.caption, u"Orvitex 설치");
}

}  // namespace
}  // namespace orvitex::forms
