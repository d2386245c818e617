#pragma once
// Internal: the ODBC headers, handle owners and checked calls of the layer.
#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/ado/Error.h"
#include "platform/UniqueHandle.h"

namespace orvitex::ado::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC wide text must be UTF-16");

// ODBC takes non-const SQLWCHAR* even for input text.
inline SQLWCHAR* Wide(std::u16string_view text) {
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.data()));
}
inline SQLWCHAR* Wide(std::u16string& text) {
    return reinterpret_cast<SQLWCHAR*>(text.data());
}
inline SQLINTEGER WideLength(std::u16string_view text) {
    return static_cast<SQLINTEGER>(text.size());
}

// An ODBC handle of the given type, freed with SQLFreeHandle.
template <SQLSMALLINT Type>
struct SqlHandleTraits {
    using Handle = SQLHANDLE;
    static Handle None() { return SQL_NULL_HANDLE; }
    static void Close(Handle handle) { (void)SQLFreeHandle(Type, handle); }
};

using EnvHandle = platform::UniqueHandle<SqlHandleTraits<SQL_HANDLE_ENV>>;
using DbcHandle = platform::UniqueHandle<SqlHandleTraits<SQL_HANDLE_DBC>>;
using StmtHandle = platform::UniqueHandle<SqlHandleTraits<SQL_HANDLE_STMT>>;

using DiagRecord = Diagnostic;

// Every diagnostic record the handle holds, in the driver's order.
[[nodiscard]] std::vector<DiagRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle);
[[nodiscard]] bool IsLinkState(std::u16string_view sqlState);
[[nodiscard]] bool IsLinkFailure(const std::vector<DiagRecord>& records);
// The ado::Error for a failed call: E_FAIL for a lost link (a link state, or
// linkLost when the driver says so otherwise), the provider error otherwise;
// the description holds each record's message but warnings', the error every record.
[[nodiscard]] Error MakeError(const std::vector<DiagRecord>& records, std::u16string_view source,
                              bool linkLost = false);

}  // namespace orvitex::ado::odbc
