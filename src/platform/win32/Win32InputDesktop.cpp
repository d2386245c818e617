#include "platform/win32/Win32Api.h"

#include "platform/win32/Win32InputDesktop.h"

#include <wtsapi32.h>

#include <memory>
#include <type_traits>

#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

struct DesktopCloser {
    void operator()(HDESK desktop) const { CloseDesktop(desktop); }
};
using UniqueDesktop = std::unique_ptr<std::remove_pointer_t<HDESK>, DesktopCloser>;

std::u16string DesktopName(HDESK desktop) {
    wchar_t name[256] = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof name[0], &needed))
        return u"?";
    return FromWide(name);
}

std::optional<bool> SessionActive() {
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION,
                                     WTSConnectState, &buffer, &bytes))
        return std::nullopt;
    std::optional<bool> active;
    if (bytes >= sizeof(WTS_CONNECTSTATE_CLASS))
        active = *reinterpret_cast<const WTS_CONNECTSTATE_CLASS*>(buffer) == WTSActive;
    WTSFreeMemory(buffer);
    return active;
}

}  // namespace

platform::InputDesktopFacts ReadInputDesktop() {
    platform::InputDesktopFacts facts;
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session))
        facts.session = session;
    const UniqueDesktop input(OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS));
    facts.inputDesktopOpened = input != nullptr;
    if (input)
        facts.inputDesktop = DesktopName(input.get());
    // The thread's own desktop is not ours to close.
    facts.threadDesktop = DesktopName(GetThreadDesktop(GetCurrentThreadId()));
    facts.sessionActive = SessionActive();
    POINT cursor{};
    facts.cursorMovable = GetCursorPos(&cursor) && SetCursorPos(cursor.x, cursor.y);
    return facts;
}

}  // namespace orvitex::win32
