#pragma once
// frm오르비설치: the logic of the main installer window over the few window
// operations it needs, so that the load sequence runs the same under test.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "forms/Geometry.h"
#include "install/InstallRun.h"
#include "install/MainServer.h"
#include "install/ServerRecord.h"
#include "install/ServerSettings.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "startup/Progress.h"

namespace orvitex::startup {

// Positions and sizes in twips; sizes of windows are outer sizes.
class MainWindowSurface : public ProgressView {
public:
    [[nodiscard]] virtual forms::SizeTwips ScreenSize() = 0;
    [[nodiscard]] virtual forms::SizeTwips OuterSize() = 0;
    [[nodiscard]] virtual forms::PointTwips Position() = 0;
    virtual void Move(forms::PointTwips topLeft) = 0;
    virtual void SetStatusLineVisible(bool visible) = 0;
    virtual void SetStatusText(std::u16string_view text) = 0;
    [[nodiscard]] virtual std::u16string CodeText() = 0;
    virtual void SetCodeText(std::u16string_view text) = 0;
    // The window system's handle, for windows the shell opens over this one.
    [[nodiscard]] virtual std::uintptr_t NativeHandle() = 0;
    // frmMsg, modally; returns when it was closed with its close box.
    virtual void ShowCompletionWindow() = 0;
};

struct MainWindowServices {
    platform::Registry& registry;
    platform::Ui& ui;
    install::MainServerConnector& mainServer;
    const install::ServerSettings& settings;
    install::RunServices* run = nullptr;  // none: the run button does nothing
};

class frm오르비설치 : public install::RunWindow {
public:
    frm오르비설치(MainWindowSurface& surface, MainWindowServices services)
        : surface_(surface), services_(services) {}

    // Runs once, before the window is first shown.
    void Form_Load();
    void ResetInput();
    void ResetProgress() override;
    void ShowProgress(std::int32_t current, std::int32_t total) override;
    void RegisterPipeAlias(std::u16string_view serverName);
    void ConnectMainServer();
    void Label1_Click() { StartRun(); }
    void Picture6_Click() { StartRun(); }
    void RunInstall();

    [[nodiscard]] install::ServerRecord& Record() override { return record_; }
    [[nodiscard]] bool RunInProgress() const { return running_; }
    // How the last run ended; nullopt before the first.
    [[nodiscard]] std::optional<install::RunOutcome> LastOutcome() const { return outcome_; }

    // The run's view of this window.
    [[nodiscard]] std::u16string CodeText() override { return surface_.CodeText(); }
    void MoveToLeftEdge() override { surface_.Move({0, surface_.Position().top}); }
    void ShowStatusLine() override { surface_.SetStatusLineVisible(true); }
    void SetStatus(std::u16string_view text) override { surface_.SetStatusText(text); }
    void Yield() override { surface_.Yield(); }
    [[nodiscard]] std::uintptr_t NativeHandle() override { return surface_.NativeHandle(); }
    void ShowCompletionWindow() override { surface_.ShowCompletionWindow(); }

private:
    // A press delivered while the run yields would start a second run inside
    // the first; it is ignored instead.
    void StartRun();

    MainWindowSurface& surface_;
    MainWindowServices services_;
    install::ServerRecord record_;
    bool running_ = false;
    std::optional<install::RunOutcome> outcome_;
};

}  // namespace orvitex::startup
