#pragma once
#include <functional>
#include <string>

#include "install/RunRecord.h"
#include "platform/Ui.h"
#include "platform/win32/forms/Application.h"
#include "startup/CommandLine.h"
#include "startup/Log.h"

namespace orvitex::startup::win32 {

// Main: creates the main window, runs its load event, shows it, and lives until
// the window is closed. Returns the exit code. record keeps what the run did.
[[nodiscard]] int Main(forms::win32::Application& app, const Options& options, Log& log,
                       platform::Ui& ui, install::RunRecord& record);

// --check: connects as at start-up but writes no alias and shows no window;
// print receives one line a check. Returns kExitComplete or kExitCheckFailed.
[[nodiscard]] int Check(const Options& options, Log& log, platform::Ui& ui,
                        install::RunRecord& record,
                        const std::function<void(const std::u16string&)>& print);

}  // namespace orvitex::startup::win32
