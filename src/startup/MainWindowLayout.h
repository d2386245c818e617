#pragma once
// The main installer window frm오르비설치 as a control table.
#include "forms/FormTable.h"

namespace orvitex::startup {

namespace ctl {
inline constexpr forms::ControlRef PicMenu{u"PicMenu"};
inline constexpr forms::ControlRef pic실행{u"pic실행"};
inline constexpr forms::ControlRef lblTitle{u"lbl", 9};
inline constexpr forms::ControlRef lblCode{u"lbl", 4};
inline constexpr forms::ControlRef txt요양기관기호{u"txt요양기관기호"};
inline constexpr forms::ControlRef Shape1{u"Shape1"};
inline constexpr forms::ControlRef picProgress전체{u"picProgress전체"};
inline constexpr forms::ControlRef picProgressbar전체{u"picProgressbar전체"};
inline constexpr forms::ControlRef Shape2{u"Shape2", 5};
inline constexpr forms::ControlRef lbl진행상태{u"lbl진행상태"};
inline constexpr forms::ControlRef lblstate전체{u"lblstate전체"};
inline constexpr forms::ControlRef Label2{u"Label2"};
inline constexpr forms::ControlRef Label3{u"Label3"};
inline constexpr forms::ControlRef Label4{u"Label4"};
inline constexpr forms::ControlRef Picture6{u"Picture6"};
inline constexpr forms::ControlRef Label1{u"Label1"};
}  // namespace ctl

inline constexpr std::u16string_view kMainCaption = u"Orvitex 설치";

[[nodiscard]] const forms::FormTable& MainWindowForm();

}  // namespace orvitex::startup
