// Fetches a setup program from a binary column the way the installation run does
// (GetRecordSet, then Value, ActualSize and GetChunk of the field, then one write
// of the file) and sets each figure beside the floor of the same store in the
// same run: for SQLite (256 MiB) the sqlite3 shell's writefile(), and a plain ODBC
// program through the same driver, to tell the driver's own cost from the layer's;
// for PostgreSQL (16, 256 and 1024 MiB) libpq's binary fetch.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BlobBench.h"
#include "platform/Text.h"

namespace {

namespace fs = std::filesystem;
using namespace orvitex::bench;

constexpr std::size_t kBlobBytes = 256u << 20;

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

std::u16string SqliteConnection(const fs::path& database) {
    return orvitex::FromUtf8("Driver={SQLite3};Database=" + database.string() + ";");
}

void MeasureSqlite(const fs::path& folder) {
    const auto database = folder / "central.db";
    const auto fromShell = folder / "shell.bin", fromClass = folder / "class.bin",
               fromOdbc = folder / "odbc.bin";
    const std::string create = std::string("CREATE TABLE ") + kTable +
                               "(파일이름 TEXT PRIMARY KEY, 실행파일 BLOB); INSERT INTO " + kTable +
                               " VALUES ('setup.exe', randomblob(" + std::to_string(kBlobBytes) +
                               "));";
    if (RunSqlite(database, create) != 0)
        throw std::runtime_error("sqlite3 could not store the blob");

    const std::string exportSql = std::string("SELECT writefile('") + fromShell.string() +
                                  "', 실행파일) FROM " + kTable + " WHERE 파일이름 = 'setup.exe';";
    double shellSeconds = 1e9;
    for (int round = 0; round < 2; ++round) {
        fs::remove(fromShell);
        const auto start = Clock::now();
        if (RunSqlite(database, exportSql) != 0)
            throw std::runtime_error("writefile() failed");
        shellSeconds = std::min(shellSeconds, Seconds(start));
    }
    const Measure plain =
        BestOfTwo([&] { return FetchThroughPlainOdbc(SqliteConnection(database), fromOdbc); });
    const Measure ours =
        BestOfTwo([&] { return FetchThroughTheClass(SqliteConnection(database), fromClass); });
    if (!SameContent(fromShell, fromClass) || !SameContent(fromShell, fromOdbc))
        throw std::runtime_error("the copies differ");

    const double megabytes = static_cast<double>(kBlobBytes) / 1e6;
    const double classRate = megabytes / ours.seconds, shellRate = megabytes / shellSeconds;
    std::printf("sqlite, %zu MiB:\n", kBlobBytes >> 20);
    std::printf("  sqlite3 writefile(): %.3f s (%.1f MB/s)\n", shellSeconds, shellRate);
    std::printf("  plain ODBC, one SQLGetData: %.3f s (%.1f MB/s), peak_rss=%.0f MiB\n",
                plain.seconds, megabytes / plain.seconds, plain.peakMiB);
    std::printf("  GetRecordSet + GetChunk: %.3f s (%.1f MB/s), peak_rss=%.0f MiB\n", ours.seconds,
                classRate, ours.peakMiB);
    std::printf(
        "blob_fetch sqlite %zu MiB: %.1f MB/s, peak_rss=%.0f MiB, ratio_vs_sqlite3=%.2f, "
        "memory_vs_plain_odbc=%.2f\n",
        kBlobBytes >> 20, classRate, ours.peakMiB, classRate / shellRate,
        ours.peakMiB / plain.peakMiB);
    std::fflush(stdout);
}

}  // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("orvitex-blob-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    int status = 1;
    try {
        MeasureSqlite(folder);
        status = RunPostgres(folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "blob_fetch: %s\n", error.what());
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
