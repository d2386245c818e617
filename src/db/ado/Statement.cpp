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

std::vector<ColumnInfo> DescribeColumns(const HandleCheck& statement, SQLSMALLINT count) {
    std::vector<ColumnInfo> columns;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        std::vector<SQLWCHAR> name(512, 0);
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        statement(SQLDescribeColW(statement.Handle(), i, name.data(),
                                  static_cast<SQLSMALLINT>(name.size()), &nameLength, &sqlType,
                                  &size, &digits, &nullable));
        columns.push_back(
            {ColumnName(name), AdoTypeOf(sqlType), sqlType, static_cast<std::int64_t>(size)});
    }
    return columns;
}

RowSet ReadRows(Connection& connection, const HandleCheck& check, SQLSMALLINT columnCount) {
    const SQLHSTMT statement = check.Handle();
    RowSet rows;
    rows.columns = DescribeColumns(check, columnCount);
    FetchScratch scratch;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement);
        if (rc == SQL_NO_DATA)
            break;
        check(rc);
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

StatementResult RunStatement(Connection& connection, const StatementRequest& request) {
    if (connection.State() != adStateOpen)
        Throw(Failure::Closed, request.source);
    SQLHANDLE dbc = connection.NativeHandle();
    SQLHANDLE raw = SQL_NULL_HANDLE;
    HandleCheck(connection, SQL_HANDLE_DBC, dbc,
                request.source)(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &raw));
    odbc::StmtHandle statement(raw);
    const HandleCheck check(connection, SQL_HANDLE_STMT, statement.Get(), request.source);
    // Drivers without query time-outs still run the statement.
    (void)SQLSetStmtAttrW(
        statement.Get(), SQL_ATTR_QUERY_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(connection.CommandTimeout())),
        SQL_IS_UINTEGER);
    ParameterBinder binder;
    if (request.parameters && !request.parameters->empty()) {
        binder.Bind(check, *request.parameters);
    }
    std::u16string text(request.text);
    SQLRETURN rc;
    if (request.prepare) {
        check(SQLPrepareW(statement.Get(), odbc::Wide(text), odbc::WideLength(text)));
        rc = SQLExecute(statement.Get());
    } else {
        rc = SQLExecDirectW(statement.Get(), odbc::Wide(text), odbc::WideLength(text));
    }
    check(rc);

    StatementResult result;
    SQLSMALLINT columns = 0;
    if (rc != SQL_NO_DATA) {
        check(SQLNumResultCols(statement.Get(), &columns));
    }
    if (columns > 0) {
        if (request.wantRows) {
            result.rows = ReadRows(connection, check, columns);
        }
    } else if (rc == SQL_NO_DATA) {
        result.recordsAffected = 0;
    } else {
        SQLLEN count = -1;
        check(SQLRowCount(statement.Get(), &count));
        result.recordsAffected = static_cast<std::int32_t>(count);
    }
    // Later results of a batch are not handed out, but their failures must not pass as success;
    // a first statement that touched no row (SQL_NO_DATA) still has results after it.
    for (SQLRETURN more = SQLMoreResults(statement.Get()); more != SQL_NO_DATA;
         more = SQLMoreResults(statement.Get())) {
        check(more);
    }
    if (request.parameters && !request.parameters->empty())
        result.outputs = binder.Outputs(request.source);
    (void)SQLFreeStmt(statement.Get(), SQL_CLOSE);
    return result;
}

}  // namespace orvitex::ado::detail
