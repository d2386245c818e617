#pragma once
// Internal: each error of the layer's own, raised in one place with its one text,
// and the statement an option of Execute or Open turns a source into.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvitex::ado::detail {

[[noreturn]] void ThrowInvalidArgument(std::u16string_view source);    // 3001
[[noreturn]] void ThrowNotFound(std::u16string_view source);           // 3265
[[noreturn]] void ThrowClosed(std::u16string_view source);             // 3704
[[noreturn]] void ThrowOpen(std::u16string_view source);               // 3705
[[noreturn]] void ThrowInvalidConnection(std::u16string_view source);  // 3709
[[noreturn]] void ThrowNoCurrentRecord(std::u16string_view source);    // 3021
[[noreturn]] void ThrowNotUpdatable(std::u16string_view source);       // 3251
[[noreturn]] void ThrowNoCommandText(std::u16string_view source);
[[noreturn]] void ThrowNoTransaction(std::u16string_view source);

// The text as given, a table read whole (adCmdTable without adCmdText) or a
// procedure call (adCmdStoredProc).
[[nodiscard]] std::u16string CommandText(std::u16string_view text, std::int32_t options);

}  // namespace orvitex::ado::detail
