#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "FakeUi.h"
#include "install/ExitCodes.h"
#include "startup/LoggingUi.h"
#include "support/TempDir.h"

namespace orvitex::startup {
namespace {

// Bugs caught: a quiet message that waits on a box nobody sees, ends with the
// wrong code or is missing from the log. The end-to-end tests prove the messages
// that have their own exit codes (unknown code, unreachable server, second copy).
TEST(LoggingUi, QuietMessageEndsWithTheOtherFailureCodeAndNeverReachesTheScreen) {
    const testing::TempDir folder;
    testing::FakeUi screen;
    {
        Log log(folder.File("setup.log"));
        LoggingUi ui(screen, log, true);
        try {
            ui.ShowMessage(u"Query failed", platform::MessageIcon::Information);
            ADD_FAILURE() << "a quiet message ends the program";
        } catch (const testing::ProgramEnded& ended) {
            EXPECT_EQ(ended.exitCode, install::kExitOtherFailure);
        }
    }
    EXPECT_TRUE(screen.messages.empty());
    std::stringstream text;
    text << std::ifstream(folder.File("setup.log"), std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(), "message: Query failed\nexit code " +
                              std::to_string(install::kExitOtherFailure) + "\n");
}

}  // namespace
}  // namespace orvitex::startup
