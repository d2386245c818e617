#include "db/ado/Statement.h"

#include "db/ado/Throw.h"

namespace orvitex::ado::detail {

namespace {

std::u16string ColumnName(const std::vector<SQLWCHAR>& buffer) {
    // Wine's odbc32 reports name lengths in UTF-8 bytes; the terminator is reliable.
    std::size_t length = 0;
    while (length < buffer.size() && buffer[length] != 0)
        ++length;
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), length);
}

std::vector<ColumnInfo> DescribeColumns(Connection& connection, SQLHSTMT statement,
                                        SQLSMALLINT count, std::u16string_view source) {
    std::vector<ColumnInfo> columns;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        std::vector<SQLWCHAR> name(512, 0);
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        Check(SQLDescribeColW(statement, i, name.data(), static_cast<SQLSMALLINT>(name.size()),
                              &nameLength, &sqlType, &size, &digits, &nullable),
              connection, SQL_HANDLE_STMT, statement, source);
        columns.push_back(
            {ColumnName(name), AdoTypeOf(sqlType), sqlType, static_cast<std::int64_t>(size)});
    }
    return columns;
}

RowSet ReadRows(Connection& connection, SQLHSTMT statement, SQLSMALLINT columnCount,
                std::u16string_view source) {
    RowSet rows;
    rows.columns = DescribeColumns(connection, statement, columnCount, source);
    FetchScratch scratch;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement);
        if (rc == SQL_NO_DATA)
            break;
        Check(rc, connection, SQL_HANDLE_STMT, statement, source);
        std::vector<Variant> row;
        row.reserve(rows.columns.size());
        for (std::size_t c = 0; c < rows.columns.size(); ++c) {
            row.push_back(ReadValue(connection, statement, static_cast<SQLUSMALLINT>(c + 1),
                                    rows.columns[c].sqlType, scratch));
        }
        rows.rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

void Check(SQLRETURN rc, Connection& connection, SQLSMALLINT handleType, SQLHANDLE handle,
           std::u16string_view source) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    connection.ThrowOdbcError(handleType, handle, source);
}

StatementResult RunStatement(Connection& connection, const StatementRequest& request) {
    if (connection.State() != adStateOpen)
        Throw(Failure::Closed, request.source);
    SQLHANDLE dbc = connection.NativeHandle();
    SQLHANDLE raw = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &raw), connection, SQL_HANDLE_DBC, dbc,
          request.source);
    odbc::StmtHandle statement(raw);
    // Drivers without query time-outs still run the statement.
    (void)SQLSetStmtAttrW(
        statement.Get(), SQL_ATTR_QUERY_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(connection.CommandTimeout())),
        SQL_IS_UINTEGER);
    ParameterBinder binder;
    if (request.parameters && !request.parameters->empty()) {
        binder.Bind(connection, statement.Get(), *request.parameters, request.source);
    }
    std::u16string text(request.text);
    SQLRETURN rc;
    if (request.prepare) {
        Check(SQLPrepareW(statement.Get(), odbc::Wide(text), odbc::WideLength(text)), connection,
              SQL_HANDLE_STMT, statement.Get(), request.source);
        rc = SQLExecute(statement.Get());
    } else {
        rc = SQLExecDirectW(statement.Get(), odbc::Wide(text), odbc::WideLength(text));
    }
    Check(rc, connection, SQL_HANDLE_STMT, statement.Get(), request.source);

    StatementResult result;
    SQLSMALLINT columns = 0;
    if (rc != SQL_NO_DATA) {
        Check(SQLNumResultCols(statement.Get(), &columns), connection, SQL_HANDLE_STMT,
              statement.Get(), request.source);
    }
    if (columns > 0) {
        if (request.wantRows) {
            result.rows = ReadRows(connection, statement.Get(), columns, request.source);
        }
    } else if (rc == SQL_NO_DATA) {
        result.recordsAffected = 0;
    } else {
        SQLLEN count = -1;
        Check(SQLRowCount(statement.Get(), &count), connection, SQL_HANDLE_STMT, statement.Get(),
              request.source);
        result.recordsAffected = static_cast<std::int32_t>(count);
    }
    // Later results of a batch are not handed out, but their failures must not pass as success;
    // a first statement that touched no row (SQL_NO_DATA) still has results after it.
    for (SQLRETURN more = SQLMoreResults(statement.Get()); more != SQL_NO_DATA;
         more = SQLMoreResults(statement.Get())) {
        Check(more, connection, SQL_HANDLE_STMT, statement.Get(), request.source);
    }
    if (request.parameters && !request.parameters->empty())
        result.outputs = binder.Outputs(request.source);
    (void)SQLFreeStmt(statement.Get(), SQL_CLOSE);
    return result;
}

}  // namespace orvitex::ado::detail
