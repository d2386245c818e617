// Fetches a 256 MiB setup program from a binary column the way the installation
// run does (GetRecordSet, then Value, ActualSize and GetChunk of the field, then
// one write of the file) and compares it with the sqlite3 shell's writefile().
// A plain ODBC program doing the least the driver allows is measured as well, in
// a child process, to tell the driver's own cost from the layer's.
#include <fcntl.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "db/ado/Environment.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"
#include "platform/Text.h"

namespace {

namespace fs = std::filesystem;
using orvitex::FromUtf8;
using orvitex::ToUtf8;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBlobBytes = 256u << 20;
constexpr const char* kTable = "tb_도르네AS";

class NoUi : public orvitex::platform::Ui {
public:
    void ShowMessage(std::u16string_view text, orvitex::platform::MessageIcon) override {
        std::fprintf(stderr, "message: %s\n", ToUtf8(text).c_str());
    }
    void SetBusyPointer(bool) override {}
    void EndProgram(int code) override { std::exit(code); }
};

// Only what the fetch needs: a file written in one piece, as the run writes it.
class PosixFiles : public orvitex::platform::FileSystem {
public:
    std::u16string FindFirst(std::u16string_view, std::uint32_t) override { return {}; }
    std::u16string FindNext() override { return {}; }
    std::optional<std::uint32_t> GetAttributes(std::u16string_view) override { return {}; }
    bool SetAttributes(std::u16string_view, std::uint32_t) override { return false; }
    bool DeleteFiles(std::u16string_view) override { return false; }
    bool RemoveDirectory(std::u16string_view) override { return false; }
    bool MakeDirectory(std::u16string_view) override { return false; }
    bool FileExists(std::u16string_view path) override { return fs::exists(ToUtf8(path)); }
    bool DirectoryExists(std::u16string_view) override { return false; }
    std::optional<std::vector<std::byte>> ReadWholeFile(std::u16string_view) override {
        return std::nullopt;
    }
    bool DeleteFile(std::u16string_view path) override { return fs::remove(ToUtf8(path)); }
    bool WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        const int fd = ::open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const auto* data = reinterpret_cast<const char*>(bytes.data());
        std::size_t left = bytes.size();
        while (left > 0) {
            const auto written = ::write(fd, data, left);
            if (written <= 0)
                break;
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        return ::close(fd) == 0 && left == 0;
    }
    std::u16string ExecutableFolder() override { return u"."; }
};

int RunSqlite(const fs::path& database, const std::string& sql) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, 1);
        ::execlp("sqlite3", "sqlite3", database.c_str(), sql.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool SameContent(const fs::path& a, const fs::path& b) {
    if (fs::file_size(a) != fs::file_size(b))
        return false;
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(x), {}, std::istreambuf_iterator<char>(y));
}

// One fetch through the class, as the installation run performs it.
bool FetchThroughTheClass(const fs::path& database, const fs::path& target) {
    NoUi ui;
    PosixFiles files;
    orvitex::ado::ProviderDrivers drivers;
    drivers.sqlServerReplacement = FromUtf8("Driver={SQLite3};Database=" + database.string() + ";");
    orvitex::db::clsDBMng db(orvitex::ado::Environment::Create(drivers), ui, files);
    if (db.ConnectServerDB(u"127.0.0.1", u"sa", u"", u"orvitex") != 1)
        return false;
    orvitex::db::gSQL =
        FromUtf8(std::string("SELECT 실행파일 FROM ") + kTable + " WHERE 파일이름 = 'setup.exe'");
    auto recordset = db.GetRecordSet(orvitex::db::gSQL, 0, 1, 3);
    if (!recordset || recordset->State() != orvitex::ado::adStateOpen || recordset->Eof()) {
        return false;
    }
    auto& field = recordset->GetFields().Item(u"실행파일");
    if (field.Value().IsNull())
        return false;
    const auto size = field.ActualSize();
    const auto bytes = field.GetChunk(size).ToBytes();
    return files.WriteWholeFile(FromUtf8(target.string()), *bytes);
}

struct Measure {
    double seconds = 0;
    double peakMiB = 0;
};

// The driver's floor: ask the length, fetch the value in one call, write it.
bool FetchThroughPlainOdbc(const fs::path& database, const fs::path& target) {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::string text = "Driver={SQLite3};Database=" + database.string() + ";";
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                        SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
        return false;
    }
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement);
    std::string sql =
        std::string("SELECT 실행파일 FROM ") + kTable + " WHERE 파일이름 = 'setup.exe'";
    if (!SQL_SUCCEEDED(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLFetch(statement))) {
        return false;
    }
    char none = 0;
    SQLLEN length = 0;
    SQLGetData(statement, 1, SQL_C_BINARY, &none, 0, &length);
    if (length <= 0)
        return false;
    std::vector<std::byte> bytes(static_cast<std::size_t>(length));
    if (!SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_BINARY, bytes.data(), length, &length))) {
        return false;
    }
    PosixFiles files;
    const bool written = files.WriteWholeFile(FromUtf8(target.string()), bytes);
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return written;
}

double PeakRssMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Runs a fetch in a child of its own, so that its peak memory is its own.
template <typename Fetch>
Measure InChild(Fetch fetch) {
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        const auto start = Clock::now();
        Measure measured{-1, 0};
        if (fetch())
            measured.seconds = Seconds(start);
        measured.peakMiB = PeakRssMiB();
        const auto written = ::write(channel[1], &measured, sizeof measured);
        ::_exit(written == sizeof measured ? 0 : 1);
    }
    ::close(channel[1]);
    Measure measured{-1, 0};
    const auto got = ::read(channel[0], &measured, sizeof measured);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != sizeof measured || measured.seconds < 0)
        throw std::runtime_error("child fetch failed");
    return measured;
}

}  // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("orvitex-blob-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const auto database = folder / "central.db";
    const auto fromShell = folder / "shell.bin";
    const auto fromClass = folder / "class.bin";
    int status = 1;
    try {
        const std::string create = std::string("CREATE TABLE ") + kTable +
                                   "(파일이름 TEXT PRIMARY KEY, 실행파일 BLOB); INSERT INTO " +
                                   kTable + " VALUES ('setup.exe', randomblob(" +
                                   std::to_string(kBlobBytes) + "));";
        if (RunSqlite(database, create) != 0)
            throw std::runtime_error("sqlite3 could not store the blob");

        const std::string exportSql = std::string("SELECT writefile('") + fromShell.string() +
                                      "', 실행파일) FROM " + kTable +
                                      " WHERE 파일이름 = 'setup.exe';";
        double shellSeconds = 1e9, classSeconds = 1e9;
        const auto fromOdbc = folder / "odbc.bin";
        Measure plain{1e9, 0};
        for (int round = 0; round < 2; ++round) {
            fs::remove(fromShell);
            auto start = Clock::now();
            if (RunSqlite(database, exportSql) != 0)
                throw std::runtime_error("writefile() failed");
            shellSeconds = std::min(shellSeconds, Seconds(start));

            fs::remove(fromOdbc);
            const auto measured =
                InChild([&] { return FetchThroughPlainOdbc(database, fromOdbc); });
            plain = {std::min(plain.seconds, measured.seconds),
                     std::max(plain.peakMiB, measured.peakMiB)};

            fs::remove(fromClass);
            start = Clock::now();
            if (!FetchThroughTheClass(database, fromClass))
                throw std::runtime_error("fetch failed");
            classSeconds = std::min(classSeconds, Seconds(start));
        }
        if (!SameContent(fromShell, fromClass))
            throw std::runtime_error("the copies differ");
        if (!SameContent(fromShell, fromOdbc))
            throw std::runtime_error("the ODBC copy differs");

        const double megabytes = static_cast<double>(kBlobBytes) / 1e6;
        const double classRate = megabytes / classSeconds;
        const double shellRate = megabytes / shellSeconds;
        const double peak = PeakRssMiB();
        std::printf("blob: %zu bytes; sqlite3 writefile(): %.3f s (%.1f MB/s); class: %.3f s\n",
                    kBlobBytes, shellSeconds, shellRate, classSeconds);
        std::printf("plain ODBC through the same driver: %.3f s (%.1f MB/s), peak_rss=%.0f MiB\n",
                    plain.seconds, megabytes / plain.seconds, plain.peakMiB);
        std::printf("memory budget: two copies + 64 MiB = %.0f MiB\n",
                    2.0 * static_cast<double>(kBlobBytes >> 20) + 64.0);
        std::printf("blob_fetch: %.1f MB/s, peak_rss=%.0f MiB, ratio_vs_sqlite3=%.2f\n", classRate,
                    peak, classRate / shellRate);
        status = 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "blob_fetch: %s\n", error.what());
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
