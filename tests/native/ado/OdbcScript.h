#pragma once
// A scripted double at the ODBC boundary: the test program defines a few ODBC
// functions itself, passes each call on to the driver manager, and bends the
// answers the way the SQL Server driver would give them. Off unless a test turns it on.
#include <sql.h>
#include <sqlext.h>

#include <map>
#include <string>
#include <vector>

namespace orvitex::ado::testing {

struct BindCall {
    SQLUSMALLINT number;
    SQLSMALLINT ioType;
    SQLSMALLINT sqlType;
    SQLULEN columnSize;
};

struct OdbcScript {
    // A batch "a; b" runs one statement per result, as the SQL Server driver runs it:
    // SQLExecDirectW runs a and answers SQL_NO_DATA when it touched no row; SQLMoreResults runs b.
    bool statementByStatement = false;
    // The next calls switching auto-commit back on fail, as on a link lost at that moment.
    int failingAutocommitOn = 0;
    std::vector<BindCall> binds;  // every SQLBindParameter, in order
    std::map<SQLHSTMT, std::u16string> laterStatements;
};

// The script of the running test; a scoped guard puts the default back.
OdbcScript& Script();
struct ScriptScope {
    ScriptScope() { Script() = {}; }
    ~ScriptScope() { Script() = {}; }
    ScriptScope(const ScriptScope&) = delete;
    ScriptScope& operator=(const ScriptScope&) = delete;
};

}  // namespace orvitex::ado::testing
