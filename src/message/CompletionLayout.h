#pragma once
// The completion window frmMsg as a control table.
#include "forms/FormTable.h"

namespace orvitex::message {

namespace ctl {
inline constexpr forms::ControlRef pic실행{u"pic실행"};
inline constexpr forms::ControlRef lblTitle{u"lbl", 9};
inline constexpr forms::ControlRef lblLine1{u"lbl", 4};
inline constexpr forms::ControlRef lblLine2{u"lbl", 0};
inline constexpr forms::ControlRef lblLine3{u"lbl", 1};
inline constexpr forms::ControlRef Picture6{u"Picture6"};
inline constexpr forms::ControlRef Label1{u"Label1"};
}  // namespace ctl

[[nodiscard]] const forms::FormTable& CompletionForm();

}  // namespace orvitex::message
