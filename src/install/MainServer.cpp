#include "install/MainServer.h"

#include "install/ExitCodes.h"

namespace orvitex::install {

void ConnectMainServer(MainServerConnector& connector, platform::Ui& ui,
                       const ServerSettings& settings) {
    if (connector.ConnectServerDB(settings.mainServer, settings.login, settings.password,
                                  settings.database) != 0) {
        return;
    }
    ui.ShowMessage(kMainServerFailed, platform::MessageIcon::Information);
    ui.EndProgram(kExitMainServerUnreachable);
}

}  // namespace orvitex::install
