#pragma once
// Message boxes, the busy pointer and the end of the program on Windows.
#include "platform/Ui.h"
#include "platform/win32/forms/Application.h"

namespace orvitex::startup::win32 {

// The title of every message box: the program passes none of its own.
inline constexpr wchar_t kMessageTitle[] = L"orvitex-setup";

class Win32Ui : public platform::Ui {
public:
    explicit Win32Ui(forms::win32::Application& app) : app_(app) {}
    void ShowMessage(std::u16string_view text, platform::MessageIcon icon) override;
    void SetBusyPointer(bool busy) override;
    [[noreturn]] void EndProgram(int exitCode) override;

private:
    forms::win32::Application& app_;
};

}  // namespace orvitex::startup::win32
