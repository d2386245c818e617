#pragma once
// RunInstall: the whole installation run, from the institution lookup to the
// completion window, over the main window and the platform services.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "db/clsDBMng.h"
#include "install/RunLog.h"
#include "install/RunRecord.h"
#include "install/RunStep.h"
#include "install/ServerRecord.h"
#include "install/WindowScripts.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Sha256.h"
#include "platform/Shell.h"
#include "platform/Ui.h"

namespace orvitex::install {

// Thrown by RunWindow::Yield once the window is gone; not a failure of a step.
struct MainWindowClosed {};

// What the run needs of the main window.
class RunWindow {
public:
    virtual ~RunWindow() = default;
    [[nodiscard]] virtual std::u16string CodeText() = 0;
    [[nodiscard]] virtual ServerRecord& Record() = 0;
    virtual void MoveToLeftEdge() = 0;
    virtual void ShowStatusLine() = 0;
    virtual void SetStatus(std::u16string_view text) = 0;
    // Throws MainWindowClosed when the window was closed while it yielded.
    virtual void Yield() = 0;
    virtual void ResetProgress() = 0;
    virtual void ShowProgress(std::int32_t current, std::int32_t total) = 0;
    [[nodiscard]] virtual std::uintptr_t NativeHandle() = 0;
    virtual void ShowCompletionWindow() = 0;
};

struct RunServices {
    platform::FileSystem& files;
    platform::Shell& shell;
    platform::Desktop& desktop;
    platform::Registry& registry;
    platform::Ui& ui;
    // The shared instance, created when missing.
    std::function<db::clsDBMng&()> database;
    RunLog& log;
    bool quiet = false;
    WaitLimits limits{};
    RunRecord* record = nullptr;         // none: nothing is kept for a report
    platform::Sha256* sha256 = nullptr;  // none: packages are not hashed
};

enum class RunOutcome { UnknownInstitution, NoInputDesktop, StoppedAtEmptyProgram, Completed };

// Failures of a step propagate as RunStepError. A window closed during the run
// ends the program with kExitOtherFailure.
RunOutcome RunInstall(RunWindow& window, RunServices& services);

}  // namespace orvitex::install
