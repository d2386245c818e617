#pragma once
// The largest stored program a run fetches. A 32-bit process (4 GiB when large-
// address aware on 64-bit Windows, 2 GiB on 32-bit Windows) holds a fetched program
// about twice over at its peak, beside the driver's buffers: 512 MiB keeps that
// well inside either; a 64-bit process has no such limit.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "db/clsDBMng.h"
#include "install/Packages.h"

namespace orvitex::install {

inline constexpr std::int64_t kLargest32BitProgram = std::int64_t{512} << 20;

// The limit of a process whose pointers are pointerBytes wide; none for 64-bit.
[[nodiscard]] constexpr std::optional<std::int64_t> LargestStoredProgram(
    std::size_t pointerBytes = sizeof(void*)) {
    if (pointerBytes > 4)
        return std::nullopt;
    return kLargest32BitProgram;
}

// The technician's message for a program over the limit, with its package and size.
[[nodiscard]] std::u16string TooLargeMessage(const SetupPackage& package, std::int64_t bytes,
                                             std::int64_t largest);

// The stored program's length in bytes, asked of the central database before it is
// fetched (DATALENGTH on SQL Server, octet_length or length elsewhere); nullopt when the row, the
// value or the answer is missing. gSQL is left as it was.
[[nodiscard]] std::optional<std::int64_t> StoredProgramLength(db::clsDBMng& database,
                                                              const SetupPackage& package);

}  // namespace orvitex::install
