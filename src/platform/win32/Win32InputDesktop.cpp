#include "platform/win32/Win32Api.h"

#include "platform/win32/Win32InputDesktop.h"

#include <wtsapi32.h>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

struct DesktopTraits {
    using Handle = HDESK;
    static Handle None() { return nullptr; }
    static void Close(Handle desktop) { CloseDesktop(desktop); }
};

struct WtsMemoryTraits {
    using Handle = LPWSTR;
    static Handle None() { return nullptr; }
    static void Close(Handle memory) { WTSFreeMemory(memory); }
};

std::u16string DesktopName(HDESK desktop) {
    wchar_t name[256] = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof name[0], &needed))
        return u"?";
    return FromWide(name);
}

std::optional<bool> SessionActive() {
    UniqueHandle<WtsMemoryTraits> buffer;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION,
                                     WTSConnectState, buffer.Receive(), &bytes) ||
        bytes < sizeof(WTS_CONNECTSTATE_CLASS))
        return std::nullopt;
    return *reinterpret_cast<const WTS_CONNECTSTATE_CLASS*>(buffer.Get()) == WTSActive;
}

}  // namespace

platform::InputDesktopFacts ReadInputDesktop() {
    platform::InputDesktopFacts facts;
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session))
        facts.session = session;
    const UniqueHandle<DesktopTraits> input(OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS));
    facts.inputDesktopOpened = static_cast<bool>(input);
    if (input)
        facts.inputDesktop = DesktopName(input.Get());
    // The thread's own desktop is not ours to close.
    facts.threadDesktop = DesktopName(GetThreadDesktop(GetCurrentThreadId()));
    facts.sessionActive = SessionActive();
    POINT cursor{};
    facts.cursorMovable = GetCursorPos(&cursor) && SetCursorPos(cursor.x, cursor.y);
    return facts;
}

}  // namespace orvitex::win32
