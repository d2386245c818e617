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
// wrong code or is missing from the log. The end-to-end tests prove the shown
// message, the quiet unreachable server and second copy with their log lines,
// the unwritable log and the password kept out of it.
TEST(LoggingUi, QuietMessagesEndWithTheirExitCodeAndNeverReachTheScreen) {
    const struct {
        std::u16string text;
        int exitCode;
    } cases[] = {
        {u"요양기관기호를 다시한번 확인해주세요.", install::kExitUnknownInstitution},
        {u"Query failed", install::kExitOtherFailure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        const testing::TempDir folder;
        testing::FakeUi screen;
        {
            Log log(folder.File("setup.log"));
            LoggingUi ui(screen, log, true);
            try {
                ui.ShowMessage(c.text, platform::MessageIcon::Information);
                ADD_FAILURE() << "a quiet message ends the program";
            } catch (const testing::ProgramEnded& ended) {
                EXPECT_EQ(ended.exitCode, c.exitCode);
            }
        }
        EXPECT_TRUE(screen.messages.empty());
        std::stringstream text;
        text << std::ifstream(folder.File("setup.log"), std::ios::binary).rdbuf();
        EXPECT_EQ(text.str(), "message: " + ToUtf8(c.text) + "\nexit code " +
                                  std::to_string(c.exitCode) + "\n");
    }
}

}  // namespace
}  // namespace orvitex::startup
