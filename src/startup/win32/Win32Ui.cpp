#include "startup/win32/Win32Ui.h"

#include <string>

#include "platform/win32/WideString.h"

namespace orvitex::startup::win32 {

void Win32Ui::ShowMessage(std::u16string_view text, platform::MessageIcon icon) {
    // The wizards of a run are pinned topmost; a message that is not would open under them.
    UINT flags = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST;
    if (icon == platform::MessageIcon::Information) {
        flags |= MB_ICONINFORMATION;
    } else if (icon == platform::MessageIcon::Critical) {
        flags |= MB_ICONERROR;
    }
    const std::u16string copy(text);
    MessageBoxW(GetActiveWindow(), orvitex::win32::Wide(copy), kMessageTitle, flags);
}

void Win32Ui::SetBusyPointer(bool busy) {
    app_.SetBusy(busy);
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Ui::EndProgram(int exitCode) {
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace orvitex::startup::win32
