#include <algorithm>

#include "db/ado/Odbc.h"

namespace orvitex::ado::odbc {

namespace {

std::u16string FromWide(const SQLWCHAR* text, std::size_t capacity) {
    // Some driver managers report lengths in UTF-8 bytes; the terminator is reliable.
    std::size_t length = 0;
    while (length < capacity && text[length] != 0)
        ++length;
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

bool IsWarning(const DiagRecord& record) {
    return record.sqlState.starts_with(u"01");
}

}  // namespace

std::vector<DiagRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<DiagRecord> records;
    if (handle == SQL_NULL_HANDLE)
        return records;
    for (SQLSMALLINT number = 1;; ++number) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN rc =
            SQLGetDiagRecW(handleType, handle, number, state, &nativeError, message.data(),
                           static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.assign(static_cast<std::size_t>(length) + 1, 0);
            rc = SQLGetDiagRecW(handleType, handle, number, state, &nativeError, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        records.push_back({FromWide(state, 5), static_cast<std::int32_t>(nativeError),
                           FromWide(message.data(), message.size())});
    }
    return records;
}

bool IsLinkState(std::u16string_view state) {
    // Class 08, and the server-side ends of a session (PostgreSQL's shutdown
    // states), which the driver reports instead when the server went away.
    return state.starts_with(u"08") || state == u"57P01" || state == u"57P02" || state == u"57P03";
}

bool IsLinkFailure(const std::vector<DiagRecord>& records) {
    return std::any_of(records.begin(), records.end(),
                       [](const DiagRecord& r) { return IsLinkState(r.sqlState); });
}

Error MakeError(const std::vector<DiagRecord>& records, std::u16string_view source, bool linkLost) {
    std::vector<const DiagRecord*> chain;
    for (const auto& record : records) {
        if (!IsWarning(record))
            chain.push_back(&record);
    }
    if (chain.empty()) {
        for (const auto& record : records)
            chain.push_back(&record);
    }
    if (chain.empty()) {
        return Error(linkLost ? kEFail : kProviderError, std::u16string(source),
                     u"The ODBC driver reported a failure without a diagnostic record.");
    }
    std::u16string description;
    for (const DiagRecord* record : chain) {
        if (!description.empty())
            description += u'\n';
        description += record->message;
    }
    const auto linkRecord = std::find_if(records.begin(), records.end(), [](const DiagRecord& r) {
        return IsLinkState(r.sqlState);
    });
    const bool link = linkRecord != records.end() || linkLost;
    const DiagRecord* first = linkRecord != records.end() ? &*linkRecord : chain.front();
    return Error(link ? kEFail : kProviderError, std::u16string(source), std::move(description),
                 first->sqlState, records);
}

}  // namespace orvitex::ado::odbc
