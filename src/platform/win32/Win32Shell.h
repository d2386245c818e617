#pragma once
#include "platform/win32/Win32Api.h"

#include "platform/Shell.h"

namespace orvitex::win32 {

// The copy's flags: without silent exactly "replace without asking".
[[nodiscard]] WORD CopyFlags(bool silent);

class Win32Shell : public platform::Shell {
public:
    [[nodiscard]] bool StartProgram(std::u16string_view path) override;
    void CopyFileIntoFolder(std::u16string_view sourceFile, std::u16string_view destinationFolder,
                            std::uintptr_t ownerWindow, bool silent) override;
};

}  // namespace orvitex::win32
