// What a click of a window script hits, for the log: read without sending a
// message, so a wizard that hangs cannot hold the run here.
#include "platform/win32/Win32Desktop.h"

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

std::u16string TextOf(HWND window) {
    wchar_t text[512] = {};
    const int length = window ? InternalGetWindowText(window, text, 512) : 0;
    return FromWide(std::wstring_view(text, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::u16string ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return FromWide(std::wstring_view(name, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::u16string ImageOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    const UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!process || !QueryFullProcessImageNameW(process.Get(), 0, path, &size))
        return u"";
    const std::wstring_view full(path, size);
    const auto slash = full.find_last_of(L"\\/");
    return FromWide(slash == std::wstring_view::npos ? full : full.substr(slash + 1));
}

}  // namespace

// Physical pixels whatever this thread's DPI awareness, as the press lands.
std::optional<platform::WindowAtCursor> Win32Desktop::WindowUnderCursor() {
    POINT point{};
    if (!GetPhysicalCursorPos(&point))
        return std::nullopt;
    platform::WindowAtCursor hit{point.x, point.y, {}, {}, {}, {}};
    const HWND window = WindowFromPhysicalPoint(point);
    if (!window)
        return hit;
    hit.windowClass = ClassOf(window);
    hit.text = TextOf(window);
    hit.topLevelCaption = TextOf(GetAncestor(window, GA_ROOT));
    hit.processImage = ImageOf(window);
    return hit;
}

}  // namespace orvitex::win32
