#pragma once
#include "platform/win32/Win32Api.h"

#include "platform/Shell.h"
#include "platform/win32/UniqueHandle.h"

namespace orvitex::win32 {

// The copy's flags: without silent exactly "replace without asking".
[[nodiscard]] WORD CopyFlags(bool silent);

class Win32Shell : public platform::Shell {
public:
    [[nodiscard]] bool StartProgram(std::u16string_view path) override;
    [[nodiscard]] std::optional<std::uint32_t> CrashOfLastProgram() override;
    void CopyFileIntoFolder(std::u16string_view sourceFile, std::u16string_view destinationFolder,
                            std::uintptr_t ownerWindow, bool silent) override;

private:
    UniqueKernelHandle lastProgram_;  // kept only to read how it ended
};

}  // namespace orvitex::win32
