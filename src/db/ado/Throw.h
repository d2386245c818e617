#pragma once
// Internal: each error of the layer's own, raised in one place with its one text,
// and the statement an option of Execute or Open turns a source into.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvitex::ado::detail {

enum class Failure {
    InvalidArgument,    // 3001
    NotFound,           // 3265, an item of a collection
    Closed,             // 3704
    Open,               // 3705
    InvalidConnection,  // 3709
    NoCurrentRecord,    // 3021
    NotUpdatable,       // 3251
    NoCommandText,
    NoTransaction,
};

[[noreturn]] void Throw(Failure failure, std::u16string_view source);

// The text as given, a table read whole (adCmdTable without adCmdText) or a
// procedure call (adCmdStoredProc).
[[nodiscard]] std::u16string CommandText(std::u16string_view text, std::int32_t options);

}  // namespace orvitex::ado::detail
