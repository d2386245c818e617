#pragma once
// mdl시작: removal of a folder with everything in it.
#include <string>

#include "platform/FileSystem.h"

namespace orvitex::mdl시작 {

// Removes the folder, its files of any attribute and its subfolders to any depth,
// the folder itself last. Every failing step is ignored. False when the path was not
// an existing folder when the call began (or a subfolder was not when its turn came);
// true does not mean everything was removed. A junction or directory symbolic link,
// inside the tree or as the path itself, is removed itself, never followed. A drive or
// share root ("C:\", "\\server\share", "\\?\C:\") or an empty path is refused: false,
// nothing touched.
[[nodiscard]] bool DeleteFolderTree(platform::FileSystem& files, std::u16string path);

// clang-format 14 takes the Hangul name in this comment for a wrong one.
// clang-format off
}  // namespace orvitex::mdl시작
// clang-format on
