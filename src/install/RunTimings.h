#pragma once
// Every fixed duration of a run, in one place: the pause after a program starts,
// the window scripts' sleeps, and the poll pause of their waits. The waits that end
// on a window have limits of their own (WaitLimits).
#include <chrono>

namespace orvitex::install {

struct RunTimings {
    // From starting a setup program to its window script: its wizard opens meanwhile.
    std::chrono::milliseconds afterStart{2000};
    // Between two passes of the replacement wait: long enough to leave the core to the
    // wizard, short enough that the wait still ends as soon as the new window exists.
    std::chrono::milliseconds pollPause{10};
    // After the two clicks at A.
    std::chrono::milliseconds afterTwoClicks{250};
    // Between two clicks at B while a window with the caption is left.
    std::chrono::milliseconds betweenClicksAtB{500};
    // From the replacement window to the first click at D.
    std::chrono::milliseconds beforeFinish{1000};
    // The main setup: between its two clicks at D.
    std::chrono::milliseconds mainBetweenFinishClicks{1000};
    // The update setup: after its first and its second click at D.
    std::chrono::milliseconds updateAfterFirstFinish{3000};
    std::chrono::milliseconds updateAfterSecondFinish{1000};
};

inline constexpr RunTimings kRunTimings{};

}  // namespace orvitex::install
