// Faults only the SQL Server driver shows, reproduced at the ODBC boundary
// over the real SQLite driver: the calls pass through and only the answers bend.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "DriverFixture.h"

namespace orvitex::ado::testing {
namespace {

struct BindCall {
    SQLSMALLINT sqlType;
    SQLULEN columnSize;
};

// What the double bends, for the running test only (the fixture puts the default back).
struct OdbcScript {
    // A batch "a; b" runs one statement per result, as the SQL Server driver runs it:
    // SQLExecDirectW runs a and answers SQL_NO_DATA when it touched no row; SQLMoreResults runs b.
    bool statementByStatement = false;
    // The next calls switching auto-commit back on fail, as on a link lost at that moment.
    int failingAutocommitOn = 0;
    int failingRollbacks = 0;  // the next rollbacks fail, as on a link lost at that moment
    // A value read in pieces tells no length, as varbinary(max) under the SQL Server drivers.
    bool noTotal = false;
    std::vector<BindCall> binds;  // every SQLBindParameter, in order
    std::map<SQLHSTMT, std::u16string> laterStatements;
};

OdbcScript& Script() {
    static OdbcScript script;
    return script;
}

// Every byte operator new hands out, so that a test can tell what a fetch cost.
std::atomic<std::size_t> allocatedBytes{0};

template <typename Fn>
Fn Real(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace
}  // namespace orvitex::ado::testing

using orvitex::ado::testing::Script;

// Counting only: the sanitizers' allocator still serves every block.
void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    orvitex::ado::testing::allocatedBytes += size;
    return block;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    orvitex::ado::testing::allocatedBytes += size;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

extern "C" SQLRETURN SQL_API SQLGetData(SQLHSTMT statement, SQLUSMALLINT column, SQLSMALLINT cType,
                                        SQLPOINTER data, SQLLEN length, SQLLEN* indicator) {
    using Fn =
        SQLRETURN(SQL_API*)(SQLHSTMT, SQLUSMALLINT, SQLSMALLINT, SQLPOINTER, SQLLEN, SQLLEN*);
    static const auto real = orvitex::ado::testing::Real<Fn>("SQLGetData");
    const SQLRETURN rc = real(statement, column, cType, data, length, indicator);
    if (rc == SQL_SUCCESS_WITH_INFO && Script().noTotal && indicator && *indicator >= 0)
        *indicator = SQL_NO_TOTAL;  // a truncated piece; the last one still tells its length
    return rc;
}

using ExecDirectFn = SQLRETURN(SQL_API*)(SQLHSTMT, SQLWCHAR*, SQLINTEGER);

extern "C" SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT statement, SQLWCHAR* text, SQLINTEGER length) {
    static const auto real = orvitex::ado::testing::Real<ExecDirectFn>("SQLExecDirectW");
    std::u16string batch(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
    const auto end = batch.find(u"; ");
    if (!Script().statementByStatement || end == std::u16string::npos)
        return real(statement, text, length);
    Script().laterStatements[statement] = batch.substr(end + 2);
    batch.resize(end);
    const SQLRETURN rc = real(statement, reinterpret_cast<SQLWCHAR*>(batch.data()),
                              static_cast<SQLINTEGER>(batch.size()));
    SQLLEN rows = -1;
    if (SQL_SUCCEEDED(rc) && SQL_SUCCEEDED(SQLRowCount(statement, &rows)) && rows == 0)
        return SQL_NO_DATA;
    return rc;
}

extern "C" SQLRETURN SQL_API SQLMoreResults(SQLHSTMT statement) {
    static const auto real =
        orvitex::ado::testing::Real<SQLRETURN(SQL_API*)(SQLHSTMT)>("SQLMoreResults");
    auto& later = Script().laterStatements;
    const auto found = later.find(statement);
    if (found == later.end())
        return real(statement);
    std::u16string next = std::move(found->second);
    later.erase(found);
    (void)SQLFreeStmt(statement, SQL_CLOSE);
    const SQLRETURN rc = SQLExecDirectW(statement, reinterpret_cast<SQLWCHAR*>(next.data()),
                                        static_cast<SQLINTEGER>(next.size()));
    return rc == SQL_NO_DATA ? SQL_SUCCESS : rc;
}

extern "C" SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC connection, SQLINTEGER attribute,
                                                SQLPOINTER value, SQLINTEGER length) {
    using Fn = SQLRETURN(SQL_API*)(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER);
    static const auto real = orvitex::ado::testing::Real<Fn>("SQLSetConnectAttrW");
    if (attribute == SQL_ATTR_AUTOCOMMIT && reinterpret_cast<SQLULEN>(value) == SQL_AUTOCOMMIT_ON &&
        Script().failingAutocommitOn > 0) {
        --Script().failingAutocommitOn;
        return SQL_ERROR;
    }
    return real(connection, attribute, value, length);
}

extern "C" SQLRETURN SQL_API SQLEndTran(SQLSMALLINT handleType, SQLHANDLE handle,
                                        SQLSMALLINT completion) {
    using Fn = SQLRETURN(SQL_API*)(SQLSMALLINT, SQLHANDLE, SQLSMALLINT);
    static const auto real = orvitex::ado::testing::Real<Fn>("SQLEndTran");
    if (completion == SQL_ROLLBACK && Script().failingRollbacks > 0) {
        --Script().failingRollbacks;
        return SQL_ERROR;
    }
    return real(handleType, handle, completion);
}

extern "C" SQLRETURN SQL_API SQLBindParameter(SQLHSTMT statement, SQLUSMALLINT number,
                                              SQLSMALLINT ioType, SQLSMALLINT cType,
                                              SQLSMALLINT sqlType, SQLULEN columnSize,
                                              SQLSMALLINT digits, SQLPOINTER data,
                                              SQLLEN bufferLength, SQLLEN* indicator) {
    using Fn = SQLRETURN(SQL_API*)(SQLHSTMT, SQLUSMALLINT, SQLSMALLINT, SQLSMALLINT, SQLSMALLINT,
                                   SQLULEN, SQLSMALLINT, SQLPOINTER, SQLLEN, SQLLEN*);
    static const auto real = orvitex::ado::testing::Real<Fn>("SQLBindParameter");
    Script().binds.push_back({sqlType, columnSize});
    return real(statement, number, ioType, cType, sqlType, columnSize, digits, data, bufferLength,
                indicator);
}

namespace {

using namespace orvitex::ado;
using orvitex::ado::testing::DriverTest;
using orvitex::ado::testing::ErrorNumberOf;
using orvitex::ado::testing::Pattern;

class SqlServerAnswers : public DriverTest {
protected:
    void SetUp() override {
        Script() = {};
        DriverTest::SetUp();
    }
    void TearDown() override { Script() = {}; }
};

TEST_P(SqlServerAnswers, AFailureLaterInABatchIsNotLostEvenAfterAStatementTouchingNoRow) {
    Exec(u"CREATE TABLE t (id INTEGER)");
    Script().statementByStatement = true;
    for (const char16_t* first :
         {u"INSERT INTO t VALUES (1)", u"UPDATE t SET id = 2 WHERE id < 0", u"DELETE FROM t"}) {
        SCOPED_TRACE(orvitex::ToUtf8(first));
        EXPECT_EQ(ErrorNumberOf([&] {
                      Exec(std::u16string(first) + u"; INSERT INTO no_such_table VALUES (2)");
                  }),
                  kProviderError);
    }
}

// The SQL Server driver refuses (HY104) a VARCHAR over 4000 characters or a VARBINARY
// over 8000 bytes: the declared size, not only the value, chooses the long types.
TEST_P(SqlServerAnswers, DeclaredSizesPastTheLimitsBindTheLongTypes) {
    Exec(u"CREATE TABLE t (x " + blob_ + u")");
    const struct {
        std::int32_t type;
        std::int64_t size;
        Variant value;
        SQLSMALLINT sqlType;
        SQLULEN columnSize;
    } cases[] = {
        {adVarWChar, 4000, Variant(u"abc"), SQL_WVARCHAR, 4000},
        {adVarWChar, 4001, Variant(u"abc"), SQL_WLONGVARCHAR, 4001},
        {adVarWChar, 0, Variant(std::u16string(4000, u'x')), SQL_WVARCHAR, 4000},
        {adVarWChar, 0, Variant(std::u16string(4001, u'x')), SQL_WLONGVARCHAR, 4001},
        {adVarWChar, 2147483647, Variant(u"abc"), SQL_WLONGVARCHAR, 1073741823},
        {adVarChar, 8000, Variant(u"abc"), SQL_VARCHAR, 8000},
        {adVarChar, 8001, Variant(u"abc"), SQL_LONGVARCHAR, 8001},
        {adVarBinary, 8000, Variant(Bytes(3)), SQL_VARBINARY, 8000},
        {adVarBinary, 8001, Variant(Bytes(3)), SQL_LONGVARBINARY, 8001},
        {adVarBinary, 0, Variant(Bytes(8001)), SQL_LONGVARBINARY, 8001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " size " + std::to_string(c.size));
        auto command = CommandFor(u"INSERT INTO t VALUES (?)");
        command->GetParameters().Append(
            command->CreateParameter(u"x", c.type, adParamInput, c.size, c.value));
        Script().binds.clear();
        (void)command->Execute();
        ASSERT_EQ(Script().binds.size(), 1u);
        EXPECT_EQ(Script().binds[0].sqlType, c.sqlType);
        EXPECT_EQ(Script().binds[0].columnSize, c.columnSize);
    }
}

TEST_P(SqlServerAnswers, ALinkLostRightAfterACommitIsNoFailedCommit) {
    Exec(u"CREATE TABLE t (id INTEGER)");
    (void)connection_->BeginTrans();
    Exec(u"INSERT INTO t VALUES (1)");
    Script().failingAutocommitOn = 1;
    EXPECT_EQ(ErrorNumberOf([&] { connection_->CommitTrans(); }), 0);
    EXPECT_EQ(events_.disconnects.size(), 1u);
    EXPECT_EQ(connection_->State(), adStateClosed);  // never left running without auto-commit
    EXPECT_EQ(NewConnection()->Execute(u"SELECT id FROM t")->RecordCount(), 1);
}

TEST_P(SqlServerAnswers, AFailedRollbackGivesTheLinkUpAndCommitsNothing) {
    Exec(u"CREATE TABLE t (id INTEGER)");
    (void)connection_->BeginTrans();
    Exec(u"INSERT INTO t VALUES (1)");
    Script().failingRollbacks = 1;
    EXPECT_EQ(ErrorNumberOf([&] { connection_->RollbackTrans(); }), kEFail);
    EXPECT_EQ(events_.disconnects.size(), 1u);
    EXPECT_EQ(connection_->State(), adStateClosed);
    EXPECT_EQ(NewConnection()->Execute(u"SELECT id FROM t")->RecordCount(), 0);
}

// Doubling the buffer copied every byte up to four times and held three times the value.
TEST_P(SqlServerAnswers, AValueOfUntoldLengthIsReadWholeAndCopiedOnce) {
    const std::size_t sizes[] = {4095, 4096, 65535, 65536, 65537, 1024 * 1024 + 1};
    CreateLongValues(sizes);
    Script().noTotal = true;
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        SCOPED_TRACE(sizes[i]);
        const std::u16string id = orvitex::ToText(static_cast<std::int64_t>(i));
        const auto before = orvitex::ado::testing::allocatedBytes.load();
        const auto bytes = Scalar(u"SELECT data FROM t WHERE id = " + id).ToBytes();
        const auto cost = orvitex::ado::testing::allocatedBytes.load() - before;
        EXPECT_EQ(*bytes, Pattern(sizes[i]));
        EXPECT_LE(bytes->capacity(), sizes[i] + 65536);
        EXPECT_LE(cost, 2 * sizes[i] + 4 * 65536);  // each piece read once, copied once
        const auto text = Scalar(u"SELECT body FROM t WHERE id = " + id);
        EXPECT_EQ(*text.As<std::u16string>(), std::u16string(sizes[i], u'가'));
        EXPECT_LE(text.As<std::u16string>()->capacity(), sizes[i] + 4096);
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, SqlServerAnswers, ::testing::Values("SQLite3", "PostgreSQL"),
                         [](const auto& row) { return row.param; });

}  // namespace
