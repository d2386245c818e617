// clsDBMng through odbc32 under Wine: Wine hands the calls to the host's
// unixODBC, so the SQLite file is named by its host path.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Fakes.h"
#include "db/ado/Environment.h"
#include "db/clsDBMng.h"
#include "db/gSQL.h"
#include "platform/Text.h"

namespace orvitex::db {
namespace {

using testing::FakeUi;
using testing::MemoryFileSystem;
using testing::PatternBytes;

std::string HostPath(const std::wstring& windowsPath) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return {};
    char* unix = convert(windowsPath.c_str());
    if (!unix)
        return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

class WineDb : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        file_ =
            std::wstring(temp) + L"orvitex-db-" + std::to_wstring(GetCurrentProcessId()) + L".db";
        DeleteFileW(file_.c_str());
        const auto host = HostPath(file_);
        ASSERT_FALSE(host.empty()) << "not running under Wine";
        ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement = FromUtf8("Driver={SQLite3};Database=" + host + ";");
        db_ = std::make_unique<clsDBMng>(ado::Environment::Create(drivers), ui_, files_);
        ASSERT_EQ(db_->ConnectServerDB(u"127.0.0.1", u"sa", u"$19KupTel57@$", u"orvitex"), 1);
    }
    void TearDown() override {
        db_.reset();
        DeleteFileW(file_.c_str());
    }

    std::wstring file_;
    FakeUi ui_;
    MemoryFileSystem files_;
    std::unique_ptr<clsDBMng> db_;
};

TEST_F(WineDb, HangulNamesReachTheDriverAndItsRefusalComesBackInItsWords) {
    ASSERT_EQ(
        db_->RunSQL(u"CREATE TABLE tb_orvi서버정보(요양기관기호 TEXT PRIMARY KEY, 서버명 TEXT)"),
        1);
    ASSERT_EQ(db_->RunSQL(u"INSERT INTO tb_orvi서버정보 VALUES ('오르비01', '강남 서버')"), 1);
    ASSERT_EQ(db_->RunSQL(u"INSERT INTO tb_orvi서버정보 VALUES ('오르비02', '다른 서버')"), 1);
    gSQL = u"SELECT 서버명 FROM tb_orvi서버정보 WHERE 요양기관기호 = '오르비01'";
    const auto found = db_->GetRecordSet(gSQL, 0, 1, 3);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->RecordCount(), 1);
    EXPECT_EQ(ToUtf8(found->GetFields().Item(u"서버명").Value().ToText()), "강남 서버");

    // A rejected statement is shown in the driver's words, without a reconnect.
    EXPECT_EQ(db_->GetRecordSet(u"SELECT * FROM 없는표")->State(), ado::adStateClosed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].icon, platform::MessageIcon::None);
    EXPECT_NE(ui_.messages[0].text.find(u"없는표"), std::u16string::npos);
    EXPECT_EQ(db_->ErrorDesc, ui_.messages[0].text);
    EXPECT_TRUE(db_->IsServerConnect());
}

TEST_F(WineDb, ATenMegabyteFileRoundTripsThroughABinaryColumn) {
    ASSERT_EQ(db_->RunSQL(u"CREATE TABLE tb_도르네AS(파일이름 TEXT PRIMARY KEY, 실행파일 BLOB)"),
              1);
    const auto content = PatternBytes(10u << 20);
    const std::u16string source = u"C:\\오르비설치\\원본.exe";
    files_.files[source] = content;
    auto table = db_->GetRecordSet(u"SELECT 파일이름, 실행파일 FROM tb_도르네AS", ado::adOpenKeyset,
                                   ado::adLockOptimistic);
    ASSERT_TRUE(table);
    table->AddNew();
    table->GetFields().Item(u"파일이름").SetValue(u"원본.exe");
    ASSERT_EQ(db_->ImageDBSave(table->GetFields().Item(u"실행파일"), source),
              static_cast<std::int32_t>(content.size()));
    table->Update();

    const auto stored =
        db_->GetRecordSet(u"SELECT 실행파일 FROM tb_도르네AS WHERE 파일이름 = '원본.exe'");
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->RecordCount(), 1);
    const std::u16string copy = u"C:\\오르비설치\\사본.exe";
    EXPECT_EQ(db_->ImageDBLoad(stored->GetFields().Item(u"실행파일"), copy), 1);
    EXPECT_TRUE(files_.files.at(copy) == content);
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace orvitex::db
