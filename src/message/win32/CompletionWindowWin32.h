#pragma once
// frmMsg on the window system: shown modally with no owner, centred on the main
// window. Returns when it was closed with its close box; its button ends the
// program instead.
#include "platform/Ui.h"
#include "platform/win32/forms/Application.h"
#include "platform/win32/forms/Form.h"

namespace orvitex::message::win32 {

// With pressItsButton the window presses its own button once shown, for runs
// that nobody watches.
void ShowCompletionWindow(forms::win32::Application& app, const forms::win32::Form& mainWindow,
                          platform::Ui& ui, bool pressItsButton);

}  // namespace orvitex::message::win32
