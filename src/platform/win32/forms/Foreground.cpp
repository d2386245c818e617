#include "platform/win32/forms/Foreground.h"

namespace orvitex::forms::win32 {

void ComeToFront(HWND window, const ForegroundCalls& calls) {
    calls.setForeground(window);
    if (calls.getForeground() != window) {
        FLASHWINFO flash{sizeof(FLASHWINFO), window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
        calls.flash(&flash);
    }
}

}  // namespace orvitex::forms::win32
