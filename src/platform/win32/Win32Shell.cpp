#include "platform/win32/Win32Shell.h"

#include <shellapi.h>

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {

WORD CopyFlags(bool silent) {
    if (!silent) {
        return FOF_NOCONFIRMATION;
    }
    return FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR;
}

bool Win32Shell::StartProgram(std::u16string_view path) {
    const std::u16string application(path);
    // The program sees its own path as its first argument, quoted for spaces.
    std::u16string commandLine = u"\"" + application + u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // The program inherits this: a wizard that crashes ends at once instead of
    // waiting behind an error-reporting dialog, so the run can tell it crashed.
    const UINT errorMode = SetErrorMode(GetErrorMode() | SEM_NOGPFAULTERRORBOX);
    const BOOL started =
        CreateProcessW(Wide(application), reinterpret_cast<wchar_t*>(commandLine.data()), nullptr,
                       nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    SetErrorMode(errorMode);
    if (!started) {
        return false;
    }
    lastProgram_.Reset(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    return true;
}

std::optional<std::uint32_t> Win32Shell::CrashOfLastProgram() {
    DWORD code = STILL_ACTIVE;
    if (!lastProgram_ || !GetExitCodeProcess(lastProgram_.Get(), &code) || code < 0xC0000000u) {
        return std::nullopt;
    }
    return code;
}

void Win32Shell::CopyFileIntoFolder(std::u16string_view sourceFile,
                                    std::u16string_view destinationFolder,
                                    std::uintptr_t ownerWindow, bool silent) {
    // Each path is a list ended by an empty entry: two NULs.
    std::u16string from(sourceFile);
    from.append(2, u'\0');
    std::u16string to(destinationFolder);
    to.append(2, u'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = reinterpret_cast<HWND>(ownerWindow);
    operation.wFunc = FO_COPY;
    operation.pFrom = Wide(from);
    operation.pTo = Wide(to);
    operation.fFlags = CopyFlags(silent);
    SHFileOperationW(&operation);
}

}  // namespace orvitex::win32
