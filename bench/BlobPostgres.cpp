// The blob fetch through PostgreSQL on loopback ("PostgreSQL Unicode" driver),
// against the floor of the same server: libpq fetching the same bytea in binary
// and writing it, in one call and one copy.
#include <libpq-fe.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "BlobBench.h"
#include "platform/Text.h"
#include "support/PostgresServer.h"

namespace orvitex::bench {
namespace {

namespace fs = std::filesystem;
using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// ORVITEX_BENCH_PG_MIB ("16 256") measures other sizes.
std::vector<std::size_t> SizesMiB() {
    const char* chosen = std::getenv("ORVITEX_BENCH_PG_MIB");
    if (!chosen)
        return {16, 256, 1024};
    std::vector<std::size_t> sizes;
    std::istringstream words(chosen);
    for (std::size_t mib = 0; words >> mib;)
        sizes.push_back(mib);
    return sizes;
}

Connection Connect(const testing::PostgresServer& server, const std::string& database) {
    const std::string info = "host=127.0.0.1 port=" + std::to_string(server.Port()) +
                             " dbname=" + database + " user=postgres";
    Connection connection(PQconnectdb(info.c_str()), &PQfinish);
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(connection.get()));
    PQsetNoticeProcessor(
        connection.get(), [](void*, const char*) {}, nullptr);
    return connection;
}

// Empty when the statement succeeded (a query: found a row), the reason otherwise.
std::string Execute(PGconn* connection, const std::string& sql, const char* value = nullptr,
                    int length = 0) {
    const int format = 1;
    Result result(
        PQexecParams(connection, sql.c_str(), value ? 1 : 0, nullptr, &value, &length, &format, 1),
        &PQclear);
    const auto status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK)
        return {};
    if (status == PGRES_TUPLES_OK)
        return PQntuples(result.get()) > 0 ? "" : "no row holds the whole blob\n";
    // Without a result (libpq refused to send) the reason is the connection's.
    return result ? PQresultErrorMessage(result.get()) : PQerrorMessage(connection);
}

// Stores random bytes as the one row of the table, from a child process, so
// that the measuring process never held them. Empty on success.
std::string Store(const testing::PostgresServer& server, const std::string& database,
                  std::size_t bytes) {
    try {
        InChild([&] {
            auto connection = Connect(server, database);
            std::vector<char> blob(bytes);
            std::mt19937_64 random(bytes);
            for (std::size_t i = 0; i + 8 <= bytes; i += 8) {
                const auto word = random();
                std::memcpy(&blob[i], &word, 8);
            }
            const std::string table(kTable);
            std::string error = Execute(connection.get(), "DROP TABLE IF EXISTS " + table);
            if (error.empty()) {
                error =
                    Execute(connection.get(), "CREATE TABLE " + table +
                                                  "(파일이름 text PRIMARY KEY, 실행파일 bytea)");
            }
            if (error.empty()) {
                error =
                    Execute(connection.get(), "INSERT INTO " + table + " VALUES ('setup.exe', $1)",
                            blob.data(), static_cast<int>(std::min<std::size_t>(bytes, INT32_MAX)));
            }
            if (error.empty()) {
                error = Execute(connection.get(),
                                "SELECT 1 FROM " + table +
                                    " WHERE length(실행파일) = " + std::to_string(bytes));
            }
            if (!error.empty())
                std::fprintf(stderr, "  the server refused the blob: %s", error.c_str());
            return error.empty();
        });
    } catch (const std::exception&) {
        return "the server did not store it (its message is above)";
    }
    return {};
}

bool FetchThroughLibpq(const testing::PostgresServer& server, const std::string& database,
                       const fs::path& target) {
    auto connection = Connect(server, database);
    const std::string sql =
        std::string("SELECT 실행파일 FROM ") + kTable + " WHERE 파일이름 = 'setup.exe'";
    Result result(
        PQexecParams(connection.get(), sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1),
        &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1) {
        std::fprintf(
            stderr, "  libpq: %s\n",
            result ? PQresultErrorMessage(result.get()) : PQerrorMessage(connection.get()));
        return false;
    }
    return WriteFile(target, PQgetvalue(result.get(), 0, 0),
                     static_cast<std::size_t>(PQgetlength(result.get(), 0, 0)));
}

double Rate(std::size_t mib, const Measure& measured) {
    return static_cast<double>(mib << 20) / 1e6 / measured.seconds;
}

// One size: the floor, then the class against it. False when the class failed
// where it should not have.
bool MeasureSize(const testing::PostgresServer& server, const std::string& database,
                 const std::u16string& odbc, std::size_t mib, const fs::path& fromLibpq,
                 const fs::path& fromClass) {
    const Measure floor = BestOfTwo([&] { return FetchThroughLibpq(server, database, fromLibpq); });
    std::printf("  libpq binary fetch: %.3f s (%.1f MB/s), peak_rss=%.0f MiB\n", floor.seconds,
                Rate(mib, floor), floor.peakMiB);
    std::fflush(stdout);
    try {
        const Measure plain = BestOfTwo([&] { return FetchThroughPlainOdbc(odbc, fromClass); });
        std::printf("  plain ODBC, one SQLGetData: %.3f s (%.1f MB/s), peak_rss=%.0f MiB\n",
                    plain.seconds, Rate(mib, plain), plain.peakMiB);
        std::fflush(stdout);
        const Measure ours = BestOfTwo([&] { return FetchThroughTheClass(odbc, fromClass); });
        if (!SameContent(fromLibpq, fromClass))
            throw std::runtime_error("the two copies differ");
        std::printf("  GetRecordSet + GetChunk: %.3f s (%.1f MB/s), peak_rss=%.0f MiB\n",
                    ours.seconds, Rate(mib, ours), ours.peakMiB);
        std::printf(
            "blob_fetch postgres %zu MiB: %.1f MB/s, peak_rss=%.0f MiB, "
            "ratio_vs_libpq=%.2f, memory_vs_libpq=%.2f\n",
            mib, Rate(mib, ours), ours.peakMiB, Rate(mib, ours) / Rate(mib, floor),
            ours.peakMiB / floor.peakMiB);
        return true;
    } catch (const std::exception& error) {
        std::printf("blob_fetch postgres %zu MiB: not measured through ODBC, %s\n", mib,
                    error.what());
        // The driver fetches bytea as hexadecimal text, and the server builds no
        // text of 1 GiB or more: from 512 MiB on, a failure is the driver's limit.
        return mib >= 512;
    }
}

}  // namespace

int RunPostgres(const fs::path& folder) {
    auto& server = testing::PostgresServer::Shared();
    if (!server.Running()) {
        std::fprintf(stderr, "blob_fetch postgres: %s\n", server.Problem().c_str());
        return 1;
    }
    const std::string database = server.CreateDatabase();
    const std::u16string odbc = server.ConnectionString(database);
    const auto fromLibpq = folder / "libpq.bin", fromClass = folder / "class-pg.bin";
    int status = 0;
    for (const std::size_t mib : SizesMiB()) {
        std::printf("postgres, %zu MiB:\n", mib);
        std::fflush(stdout);
        if (const auto problem = Store(server, database, mib << 20); !problem.empty()) {
            std::printf(
                "blob_fetch postgres %zu MiB: not measured, %s%s\n", mib, problem.c_str(),
                mib >= 1024 ? "; PostgreSQL takes no value or message of 1 GiB or more" : "");
            status = mib < 1024 ? 1 : status;
            continue;
        }
        try {
            status = MeasureSize(server, database, odbc, mib, fromLibpq, fromClass) ? status : 1;
        } catch (const std::exception& error) {
            std::printf("blob_fetch postgres %zu MiB: not measured, %s\n", mib, error.what());
            status = 1;
        }
        std::error_code ignored;
        fs::remove(fromLibpq, ignored);
        fs::remove(fromClass, ignored);
    }
    return status;
}

}  // namespace orvitex::bench
