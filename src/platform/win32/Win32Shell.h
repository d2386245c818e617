#pragma once
#include "platform/win32/Win32Api.h"

#include "platform/Shell.h"

namespace orvitex::win32 {

class Win32Shell : public platform::Shell {
public:
    [[nodiscard]] bool StartProgram(std::u16string_view path) override;
    void CopyFileIntoFolder(std::u16string_view sourceFile, std::u16string_view destinationFolder,
                            std::uintptr_t ownerWindow) override;
};

}  // namespace orvitex::win32
