#pragma once
// The clinic's update folder as the elevated program sees it. A drive letter mapped in
// the technician's own session does not exist for an elevated program (a separate logon
// keeps separate drive mappings), so "Z:\..." fails there even though Explorer shows it.
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace orvitex::install {

// The reason the folder cannot be reached, when it is on a drive letter whose root does
// not exist for this process; empty otherwise (a UNC path, an existing drive).
[[nodiscard]] std::optional<std::u16string> UnseenDriveLetter(platform::FileSystem& files,
                                                              std::u16string_view folder);

}  // namespace orvitex::install
