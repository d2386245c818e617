#pragma once
#include "platform/Ui.h"
#include "platform/win32/forms/Application.h"
#include "startup/CommandLine.h"
#include "startup/Log.h"

namespace orvitex::startup::win32 {

// Main: creates the main window, runs its load event, shows it, and lives until
// the window is closed. Returns the exit code.
[[nodiscard]] int Main(forms::win32::Application& app, const Options& options, Log& log,
                       platform::Ui& ui);

}  // namespace orvitex::startup::win32
