#include "platform/win32/LastError.h"

#include <windows.h>

#include "platform/win32/WideString.h"

namespace orvitex::win32 {

std::u16string SystemMessage(std::uint32_t errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text = length ? FromWide(std::wstring_view(buffer, length)) : std::u16string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.pop_back();
    return text;
}

}  // namespace orvitex::win32
