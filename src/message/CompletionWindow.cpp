#include "message/CompletionWindow.h"

#include <stdexcept>

#include "install/ExitCodes.h"

namespace orvitex::message {

void frmMsg::Form_Load(const WindowBox& mainWindow) {
    surface_.Move(forms::CentreIn(mainWindow.topLeft.left, mainWindow.topLeft.top, mainWindow.size,
                                  surface_.OuterSize()));
}

void frmMsg::EndNow() {
    ui_.EndProgram(install::kExitComplete);
    // EndProgram does not return on the real window system.
    throw std::logic_error("EndProgram returned");
}

}  // namespace orvitex::message
