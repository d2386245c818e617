// Fetches a recordset of many rows of short text through GetRecordSet and
// compares the process's peak memory with the size of the values themselves,
// so that a value costing far more than its own bytes shows up.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "BlobBench.h"
#include "db/ado/Environment.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"
#include "platform/Text.h"

namespace {

namespace fs = std::filesystem;
using orvitex::FromUtf8;

constexpr int kRows = 100000;
constexpr int kColumns = 4;

// Rows shaped like the server-information table: a code, a name, a server, a folder.
const char16_t kFill[] =
    u"INSERT INTO tb_orvi서버정보 WITH RECURSIVE n(i) AS "
    u"(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) SELECT printf('%08d', i), "
    u"'오르비의원 ' || i, "
    u"'SRV-' || (i % 97) || '\\SQLEXPRESS', '\\\\10.0.' || (i % 250) || '.' || (i % 200) || "
    u"'\\update' FROM n";

}  // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("orvitex-rows-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    int status = 1;
    try {
        orvitex::bench::NoUi ui;
        orvitex::bench::PosixFiles files;
        orvitex::ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement =
            FromUtf8("Driver={SQLite3};Database=" + (folder / "central.db").string() + ";");
        orvitex::db::clsDBMng db(orvitex::ado::Environment::Create(drivers), ui, files);
        if (db.ConnectServerDB(u"127.0.0.1", u"sa", u"", u"orvitex") != 1 ||
            db.RunSQL(
                u"CREATE TABLE tb_orvi서버정보 (코드 TEXT, 이름 TEXT, 서버 TEXT, 경로 TEXT)") !=
                1 ||
            db.RunSQL(kFill) != 1) {
            throw std::runtime_error("the table could not be filled");
        }
        orvitex::db::gSQL = u"SELECT 코드, 이름, 서버, 경로 FROM tb_orvi서버정보";
        auto recordset = db.GetRecordSet(orvitex::db::gSQL, 0, 1, 3);
        if (!recordset || recordset->State() != orvitex::ado::adStateOpen ||
            recordset->RecordCount() != kRows) {
            throw std::runtime_error("the fetch failed");
        }
        std::int64_t valueBytes = 0;
        auto& fields = recordset->GetFields();
        for (; !recordset->Eof(); recordset->MoveNext()) {
            for (int c = 0; c < kColumns; ++c)
                valueBytes += fields.Item(c).ActualSize();
        }
        const double values = static_cast<double>(valueBytes) / (1024.0 * 1024.0);
        const double peak = orvitex::bench::PeakRssMiB();
        std::printf("target: peak_rss at most 4 x values + 64 MiB = %.0f MiB\n", 4 * values + 64);
        std::printf("recordset_memory: %d rows, %.1f MiB of values, peak_rss=%.0f MiB\n", kRows,
                    values, peak);
        status = 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "recordset_memory: %s\n", error.what());
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
