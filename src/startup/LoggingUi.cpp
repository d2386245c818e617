#include "startup/LoggingUi.h"

#include "install/ExitCodes.h"
#include "install/Institution.h"
#include "install/MainServer.h"
#include "platform/Text.h"

namespace orvitex::startup {

int ExitCodeForMessage(std::u16string_view text) {
    if (text == install::kMainServerFailed) {
        return install::kExitMainServerUnreachable;
    }
    if (text == install::kUnknownInstitution) {
        return install::kExitUnknownInstitution;
    }
    if (text == kAlreadyRunning) {
        return install::kExitAlreadyRunning;
    }
    return install::kExitOtherFailure;
}

void LoggingUi::ShowMessage(std::u16string_view text, platform::MessageIcon icon) {
    log_.Line(u"message: " + std::u16string(text));
    if (quiet_) {
        endingMessage_ = text;
        EndProgram(ExitCodeForMessage(text));
        return;
    }
    screen_.ShowMessage(text, icon);
}

void LoggingUi::EndProgram(int exitCode) {
    log_.Line(u"exit code " + ToText(std::int64_t{exitCode}));
    if (atEnd_) {
        atEnd_(exitCode, endingMessage_);
    }
    screen_.EndProgram(exitCode);
}

}  // namespace orvitex::startup
