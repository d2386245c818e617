#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace orvitex::win32 {

// A PNG of the whole virtual screen (every monitor, physical pixels) at path, through
// GDI and the Windows Imaging Component. The reason when none was saved; a partly
// written file is removed.
[[nodiscard]] std::optional<std::u16string> SaveScreenPicture(std::u16string_view path);

}  // namespace orvitex::win32
