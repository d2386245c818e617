// The ADO layer through odbc32 under Wine, which hands the calls to the host's
// unixODBC: the SQLite file is named by its host path.
#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "db/ado/Command.h"
#include "db/ado/Connection.h"
#include "db/ado/Error.h"
#include "db/ado/Recordset.h"
#include "platform/Text.h"

namespace {

using namespace orvitex::ado;
using orvitex::FromUtf8;
using orvitex::ToUtf8;

// A fresh SQLite file in the Windows temporary folder, known by both its names.
class HostDatabase {
public:
    HostDatabase() {
        wchar_t folder[MAX_PATH] = {};
        wchar_t file[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"ado", 0, file);
        windowsPath_ = file;
        using ToUnix = char*(CDECL*)(const wchar_t*);
        auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (char* unixPath = toUnix ? toUnix(file) : nullptr) {
            hostPath_ = FromUtf8(unixPath);
            HeapFree(GetProcessHeap(), 0, unixPath);
        }
    }
    ~HostDatabase() { DeleteFileW(windowsPath_.c_str()); }
    HostDatabase(const HostDatabase&) = delete;
    HostDatabase& operator=(const HostDatabase&) = delete;

    const std::u16string& HostPath() const { return hostPath_; }

private:
    std::wstring windowsPath_;
    std::u16string hostPath_;
};

class AdoWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(database_.HostPath().empty()) << "not running under Wine";
        ProviderDrivers drivers;
        // The embedded central database: SQLOLEDB served by SQLite.
        drivers.sqlServerReplacement = u"Driver={SQLite3};Database=" + database_.HostPath();
        connection_ = Connection::Create(Environment::Create(drivers));
        connection_->Open(
            u"Provider       ='SQLOLEDB';  Data Source    ='127.0.0.1,4181';   Initial "
            u"Catalog='orvitex'; User Id        ='sa';     Password       ='x'     ");
    }

    std::shared_ptr<Recordset> Query(const std::u16string& sql,
                                     std::int32_t lock = adLockReadOnly) {
        auto recordset = Recordset::Create();
        recordset->SetCursorLocation(adUseClient);
        recordset->Open(sql, connection_, adOpenForwardOnly, lock);
        return recordset;
    }

    HostDatabase database_;
    std::shared_ptr<Connection> connection_;
};

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    std::uint32_t state = 11;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::byte>(state >> 16);
    }
    return bytes;
}

TEST_F(AdoWine, HangulTableColumnsAndWhereKeyRoundTrip) {
    (void)connection_->Execute(
        u"CREATE TABLE tb_orvi서버정보 (요양기관기호 VARCHAR(20) PRIMARY KEY, 서버이름 "
        u"VARCHAR(50))");
    (void)connection_->Execute(u"INSERT INTO tb_orvi서버정보 VALUES ('한글키', '오르비 본원')");
    (void)connection_->Execute(u"INSERT INTO tb_orvi서버정보 VALUES ('12345678', 'other')");
    auto recordset =
        Query(u"SELECT 요양기관기호, 서버이름 FROM tb_orvi서버정보 WHERE 요양기관기호 = '한글키'");
    ASSERT_EQ(recordset->RecordCount(), 1);
    auto& fields = recordset->GetFields();
    EXPECT_EQ(ToUtf8(fields[1].Name()), "서버이름");
    EXPECT_EQ(ToUtf8(fields[u"서버이름"].Value().ToText()), "오르비 본원");
    EXPECT_EQ(ToUtf8(fields[0].Value().ToText()), "한글키");

    // An edit finds the row by its Hangul primary key (SQLPrimaryKeysW through odbc32).
    auto editable =
        Query(u"SELECT 요양기관기호, 서버이름 FROM tb_orvi서버정보 WHERE 요양기관기호 = '한글키'",
              adLockOptimistic);
    editable->GetFields()[u"서버이름"].SetValue(Variant(u"새 이름"));
    editable->Update();
    auto check = Query(u"SELECT 서버이름 FROM tb_orvi서버정보 ORDER BY 요양기관기호");
    EXPECT_EQ(ToUtf8(check->GetFields()[0].Value().ToText()), "other");
    check->MoveNext();
    EXPECT_EQ(ToUtf8(check->GetFields()[0].Value().ToText()), "새 이름");
}

TEST_F(AdoWine, TenMegabyteBlobRoundTripsInChunks) {
    (void)connection_->Execute(
        u"CREATE TABLE tb_files (파일이름 VARCHAR(40) PRIMARY KEY, 실행파일 BLOB)");
    const Bytes file = Pattern(10 * 1024 * 1024 + 17);
    {
        auto recordset =
            Query(u"SELECT 파일이름, 실행파일 FROM tb_files WHERE 1 = 0", adLockOptimistic);
        recordset->AddNew();
        recordset->GetFields()[0].SetValue(Variant(u"setup1.exe"));
        for (std::size_t offset = 0; offset < file.size(); offset += 32768) {
            const auto end = std::min(file.size(), offset + 32768);
            recordset->GetFields()[1].AppendChunk(
                Variant(Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset),
                              file.begin() + static_cast<std::ptrdiff_t>(end))));
        }
        recordset->Update();
    }
    auto command = Command::Create();
    command->SetActiveConnection(connection_);
    command->SetCommandText(u"INSERT INTO tb_files VALUES (?, ?)");
    const std::vector<Variant> values = {Variant(u"setup2.exe"), Variant(file)};
    (void)command->Execute(nullptr, &values);

    auto recordset = Query(u"SELECT 실행파일 FROM tb_files ORDER BY 파일이름");
    ASSERT_EQ(recordset->RecordCount(), 2);
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        auto& field = recordset->GetFields()[u"실행파일"];
        ASSERT_EQ(field.ActualSize(), static_cast<std::int64_t>(file.size()));
        const auto whole = field.GetChunk(field.ActualSize());
        EXPECT_TRUE(*whole.ToBytes() == file);
        recordset->MoveNext();
    }
    EXPECT_TRUE(recordset->Eof());
}

TEST_F(AdoWine, RejectedStatementIsAProviderErrorWithTheDriversText) {
    try {
        (void)connection_->Execute(u"SELECT * FROM 없는테이블");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), kProviderError);
        EXPECT_NE(ToUtf8(error.Description()).find("없는테이블"), std::string::npos)
            << ToUtf8(error.Description());
    }
}

}  // namespace
