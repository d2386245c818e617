#include "platform/win32/LastError.h"

#include <windows.h>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {

std::u16string SystemMessage(std::uint32_t errorCode) {
    UniqueLocal<wchar_t*> buffer;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(buffer.Receive()), 0, nullptr);
    std::u16string text =
        length ? FromWide(std::wstring_view(buffer.Get(), length)) : std::u16string();
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.pop_back();
    return text;
}

}  // namespace orvitex::win32
