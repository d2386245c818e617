#pragma once
// How the program ends, for deployment tools and tests.
#include <string_view>

namespace orvitex::install {

inline constexpr int kExitComplete = 0;
inline constexpr int kExitUnknownInstitution = 2;
inline constexpr int kExitEmptyStoredProgram = 3;
inline constexpr int kExitMainServerUnreachable = 4;
inline constexpr int kExitOtherFailure = 5;
inline constexpr int kExitAlreadyRunning = 6;
inline constexpr int kExitCheckFailed = 7;
inline constexpr int kExitWizardsUndone = 8;
inline constexpr int kExitNoInputDesktop = 9;

// The README's words for a code, for reports; checkMode: 0 means every check passed.
[[nodiscard]] constexpr std::string_view ExitMeaning(int code, bool checkMode) {
    switch (code) {
        case kExitComplete:
            return checkMode ? "every check passed" : "complete";
        case kExitUnknownInstitution:
            return "unknown institution code";
        case kExitEmptyStoredProgram:
            return "stopped at an empty stored program";
        case kExitMainServerUnreachable:
            return "main server unreachable";
        case kExitAlreadyRunning:
            return "another copy is already running";
        case kExitCheckFailed:
            return "a check failed";
        case kExitWizardsUndone:
            return "finished, but wizards did not complete";
        case kExitNoInputDesktop:
            return "no input desktop: clicks cannot reach the wizards";
        default:
            return "other failure";
    }
}

}  // namespace orvitex::install
