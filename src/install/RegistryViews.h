#pragma once
// The registry view rule, one for the run, the check, the log and the report: a
// value that lands in no view fails; a key missing in one of two views is a
// warning, since programs of that view's width will not see the value.
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace orvitex::install {

enum class ViewVerdict { Pass, Warn, Fail };

// Fail where any view refuses or no view has the key; Warn where one view of two lacks it.
[[nodiscard]] ViewVerdict JudgeViews(const platform::KeyViews& views);

// "64-bit view: DONE; 32-bit view: missing, …", or "one view (32-bit Windows): DONE",
// where DONE stands for a view the key is open and writable in.
[[nodiscard]] std::u16string DescribeViews(const platform::KeyViews& views,
                                           std::u16string_view done);

}  // namespace orvitex::install
