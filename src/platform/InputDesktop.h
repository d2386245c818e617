#pragma once
// Whether synthetic clicks can reach the wizards: they need the unlocked desktop of a
// logged-on user's active session. On a locked PC, in session 0 (a service) or on a
// disconnected session every click goes nowhere, and a run would spend its wait limits.
#include <cstdint>
#include <optional>
#include <string>

namespace orvitex::platform {

struct InputDesktopFacts {
    std::uint32_t session = 1;
    bool inputDesktopOpened = true;
    std::u16string inputDesktop = u"Default";   // the desktop that receives the input
    std::u16string threadDesktop = u"Default";  // the one this program's windows are on
    std::optional<bool> sessionActive;          // empty when the system cannot say
    bool cursorMovable = true;
};

// Empty when the clicks can land; otherwise the reason, for the log and the message.
[[nodiscard]] std::optional<std::u16string> WhyClicksCannotLand(const InputDesktopFacts& facts);

// The message shown (or logged) when a run or a check stops for that reason.
[[nodiscard]] std::u16string NoInputDesktopMessage(std::u16string_view reason);

}  // namespace orvitex::platform
