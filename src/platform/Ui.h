#pragma once
// The few facilities of the window toolkit that the logic needs directly.
#include <string_view>

namespace orvitex::platform {

enum class MessageIcon { None, Information, Critical };

class Ui {
public:
    virtual ~Ui() = default;
    // Modal box with one OK button, under the program's default title.
    virtual void ShowMessage(std::u16string_view text, MessageIcon icon) = 0;
    // The application-wide mouse pointer: busy (hourglass) or the default shape.
    virtual void SetBusyPointer(bool busy) = 0;
    // Ends the program at once with the exit code. The real implementation does
    // not return; a test double records the call and throws.
    virtual void EndProgram(int exitCode) = 0;
};

}  // namespace orvitex::platform
