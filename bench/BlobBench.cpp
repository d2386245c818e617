#include "BlobBench.h"

#include <fcntl.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <vector>

#include "db/ado/Environment.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"
#include "platform/Text.h"

namespace orvitex::bench {

namespace fs = std::filesystem;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double PeakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool SameContent(const fs::path& a, const fs::path& b) {
    if (fs::file_size(a) != fs::file_size(b))
        return false;
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(x), {}, std::istreambuf_iterator<char>(y));
}

bool WriteFile(const fs::path& path, const void* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const auto* next = static_cast<const char*>(data);
    std::size_t left = size;
    while (left > 0) {
        const auto written = ::write(fd, next, left);
        if (written <= 0)
            break;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return ::close(fd) == 0 && left == 0;
}

bool FetchThroughTheClass(const std::u16string& odbcConnection, const fs::path& target) {
    NoUi ui;
    PosixFiles files;
    ado::ProviderDrivers drivers;
    drivers.sqlServerReplacement = odbcConnection;
    db::clsDBMng db(ado::Environment::Create(drivers), ui, files);
    if (db.ConnectServerDB(u"127.0.0.1", u"sa", u"", u"orvitex") != 1)
        return false;
    db::gSQL =
        FromUtf8(std::string("SELECT 실행파일 FROM ") + kTable + " WHERE 파일이름 = 'setup.exe'");
    auto recordset = db.GetRecordSet(db::gSQL, 0, 1, 3);
    if (!recordset || recordset->State() != ado::adStateOpen || recordset->Eof())
        return false;
    auto& field = recordset->GetFields().Item(u"실행파일");
    if (field.Value().IsNull())
        return false;
    const auto size = field.ActualSize();
    const auto bytes = field.GetChunk(size).ToBytes();
    return files.WriteWholeFile(FromUtf8(target.string()), *bytes);
}

bool FetchThroughPlainOdbc(const std::u16string& odbcConnection, const fs::path& target) {
    // unixODBC converts wide text for drivers without wide entry points with the
    // locale's codeset; this runs in a child process of its own (see InChild).
    std::setlocale(LC_CTYPE, "C.UTF-8");
    auto wide = [](std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); };
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::u16string text = odbcConnection;
    if (!SQL_SUCCEEDED(SQLDriverConnectW(dbc, nullptr, wide(text),
                                         static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr,
                                         SQL_DRIVER_NOPROMPT))) {
        return false;
    }
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement);
    std::u16string sql =
        FromUtf8(std::string("SELECT 실행파일 FROM ") + kTable + " WHERE 파일이름 = 'setup.exe'");
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement, wide(sql), static_cast<SQLINTEGER>(sql.size()))) ||
        !SQL_SUCCEEDED(SQLFetch(statement))) {
        return false;
    }
    char none = 0;
    SQLLEN length = 0;
    SQLGetData(statement, 1, SQL_C_BINARY, &none, 0, &length);
    if (length <= 0)
        return false;
    std::vector<std::byte> bytes(static_cast<std::size_t>(length));
    if (!SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_BINARY, bytes.data(), length, &length)))
        return false;
    const bool written = WriteFile(target, bytes.data(), bytes.size());
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return written;
}

}  // namespace orvitex::bench
