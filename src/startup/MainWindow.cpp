#include "startup/MainWindow.h"

#include "install/ServerAliases.h"

namespace orvitex::startup {

void frm오르비설치::Form_Load() {
    install::RunRecord* record = services_.run ? services_.run->record : nullptr;
    install::WriteStartupAliases(services_.registry, services_.settings,
                                 record ? &record->registryWrites : nullptr);
    surface_.Move(forms::CentreIn(0, 0, surface_.ScreenSize(), surface_.OuterSize()));
    ConnectMainServer();
    ResetProgress();
    ResetInput();
}

void frm오르비설치::ResetInput() {
    surface_.SetStatusLineVisible(false);
    surface_.SetCodeText(u"");
}

void frm오르비설치::ResetProgress() {
    startup::ResetProgress(surface_);
}

void frm오르비설치::ShowProgress(std::int32_t current, std::int32_t total) {
    startup::ShowProgress(surface_, current, total);
}

void frm오르비설치::RegisterPipeAlias(std::u16string_view serverName) {
    install::RegisterPipeAlias(services_.registry, serverName);
}

void frm오르비설치::ConnectMainServer() {
    install::ConnectMainServer(services_.mainServer, services_.ui, services_.settings);
}

void frm오르비설치::RunInstall() {
    if (services_.run) {
        outcome_ = install::RunInstall(*this, *services_.run);
    }
}

void frm오르비설치::StartRun() {
    if (running_) {
        return;
    }
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{running_ = true};
    RunInstall();
}

}  // namespace orvitex::startup
