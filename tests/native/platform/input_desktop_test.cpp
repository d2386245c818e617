#include "platform/InputDesktop.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace orvitex::platform {
namespace {

template <typename Change>
InputDesktopFacts With(Change change) {
    InputDesktopFacts facts;
    change(facts);
    return facts;
}

// Bugs caught: a run started by a service, on a locked PC or on a disconnected session
// that goes on to click into nothing for its whole wait limits; a ready desktop refused.
TEST(InputDesktop, EachWayClicksGoNowhereStopsTheRunAndAReadyDesktopPasses) {
    const struct {
        const char* name;
        InputDesktopFacts facts;
        const char16_t* reasonStart;  // nullptr: the clicks can land
    } cases[] = {
        {"ready", {}, nullptr},
        {"the first user session", With([](auto& f) { f.session = 1; }), nullptr},
        {"session state unknown", With([](auto& f) { f.sessionActive = std::nullopt; }), nullptr},
        {"session active", With([](auto& f) { f.sessionActive = true; }), nullptr},
        {"session 0", With([](auto& f) { f.session = 0; }), u"it runs in session 0"},
        {"locked", With([](auto& f) { f.inputDesktopOpened = false; }),
         u"the input desktop cannot be opened"},
        {"secure desktop has the input", With([](auto& f) { f.inputDesktop = u"Winlogon"; }),
         u"the input goes to the desktop \"Winlogon\", this program's windows are on "
         u"\"Default\""},
        {"disconnected", With([](auto& f) { f.session = 2, f.sessionActive = false; }),
         u"session 2 is not active"},
        {"cursor refused", With([](auto& f) { f.cursorMovable = false; }),
         u"the cursor cannot be moved"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto reason = WhyClicksCannotLand(c.facts);
        ASSERT_EQ(reason.has_value(), c.reasonStart != nullptr);
        if (reason) {
            EXPECT_TRUE(reason->starts_with(c.reasonStart)) << ToUtf8(*reason);
        }
    }
}

}  // namespace
}  // namespace orvitex::platform
