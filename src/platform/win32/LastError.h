#pragma once
#include <cstdint>
#include <string>

namespace orvitex::win32 {

// The system's message for a Win32 error code, without the trailing line break.
[[nodiscard]] std::u16string SystemMessage(std::uint32_t errorCode);

}  // namespace orvitex::win32
