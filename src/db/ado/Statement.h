#pragma once
// Internal: running one statement on a connection and reading its rows.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Connection.h"
#include "db/ado/Odbc.h"
#include "db/ado/Recordset.h"
#include "db/ado/Variant.h"

namespace orvitex::ado::detail {

// One "?" marker's value, with the ADO type and sizes it is bound by.
struct BoundValue {
    std::int32_t type = adEmpty;
    std::int32_t direction = adParamInput;
    std::int64_t size = 0;
    std::uint8_t precision = 0;
    std::uint8_t scale = 0;
    Variant value;
};

struct ColumnInfo {
    std::u16string name;
    std::int32_t adoType = adEmpty;
    std::int16_t sqlType = 0;
    std::int64_t definedSize = 0;
};

struct RowSet {
    std::vector<ColumnInfo> columns;
    std::vector<std::vector<Variant>> rows;  // rows[row][column]
};

struct StatementResult {
    std::int32_t recordsAffected = -1;
    std::optional<RowSet> rows;  // set for a row-returning statement when rows were wanted
    // One per parameter: what an output, input-output or return value parameter received
    // (Empty for an input); read once every result of the statement has been processed.
    std::vector<Variant> outputs;
};

struct StatementRequest {
    std::u16string_view text;
    const std::vector<BoundValue>* parameters = nullptr;
    bool prepare = false;
    bool wantRows = true;
    std::u16string_view source;  // for errors: "ADODB.Command" and the like
};

// Throws adErrObjectClosed when the connection is not open, ado::Error for a
// failed ODBC call (the connection raises Disconnect first when the link is lost).
[[nodiscard]] StatementResult RunStatement(Connection& connection, const StatementRequest& request);

// The calls on one handle of a connection, checked for one source of errors: a failure
// (SQL_NO_DATA is none) becomes the connection's ado::Error, Disconnect first when the
// link is lost.
class HandleCheck {
public:
    HandleCheck(Connection& connection, SQLSMALLINT handleType, SQLHANDLE handle,
                std::u16string_view source)
        : connection_(connection), handleType_(handleType), handle_(handle), source_(source) {}
    void operator()(SQLRETURN rc) const {
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            connection_.ThrowOdbcError(handleType_, handle_, source_);
    }
    [[nodiscard]] SQLHANDLE Handle() const { return handle_; }

private:
    Connection& connection_;
    SQLSMALLINT handleType_;
    SQLHANDLE handle_;
    std::u16string_view source_;
};

// Buffers reused from value to value while rows are read; each value is kept at its own size.
struct FetchScratch {
    std::u16string text;
    Bytes bytes;
};

// Reads the value of one column of the current row, whole.
[[nodiscard]] Variant ReadValue(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                                SQLSMALLINT sqlType, FetchScratch& scratch);
[[nodiscard]] Variant ReadValue(Connection& connection, SQLHSTMT statement, SQLUSMALLINT column,
                                SQLSMALLINT sqlType);
[[nodiscard]] std::int32_t AdoTypeOf(SQLSMALLINT sqlType);

// Binds each param to its marker; the binder keeps the buffers alive until it dies.
class ParameterBinder {
public:
    void Bind(const HandleCheck& statement, const std::vector<BoundValue>& params);
    // The values handed back, one per parameter (Empty for an input).
    [[nodiscard]] std::vector<Variant> Outputs(std::u16string_view source) const;
    ~ParameterBinder();
    ParameterBinder();
    ParameterBinder(const ParameterBinder&) = delete;
    ParameterBinder& operator=(const ParameterBinder&) = delete;

private:
    struct Storage;
    std::unique_ptr<Storage> storage_;
};

// An open client-side recordset over rows already read.
[[nodiscard]] std::shared_ptr<Recordset> MakeOpenRecordset(std::shared_ptr<Connection> connection,
                                                           std::u16string source, RowSet rows);

}  // namespace orvitex::ado::detail
