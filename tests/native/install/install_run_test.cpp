#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "FakeDesktop.h"
#include "FakeFileSystem.h"
#include "FakeRegistry.h"
#include "FakeUi.h"
#include "db/gSQL.h"
#include "install/CentralDb.h"
#include "install/InstallRun.h"
#include "install/Institution.h"
#include "install/MainServer.h"
#include "install/Preflight.h"
#include "install/RunReport.h"
#include "install/SharedDatabase.h"
#include "platform/openssl/OpenSslSha256.h"
#include "support/SqliteDatabase.h"

namespace orvitex::install {
namespace {

const std::u16string kFolder = u"C:\\오르비설치\\";
const std::u16string kConnectTo = u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
const std::u16string kPolicies = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::u16string kSha2 = u"58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7";
const std::vector<std::byte> kPackage2{std::byte{0x4D}, std::byte{0x5A}, std::byte{2},
                                       std::byte{0}};

// A central database with the six stored programs, and the fake machine the run
// works on; the main window and the shell journal what they are asked to do.
struct World : RunWindow, platform::Shell {
    World() {
        Sql("CREATE TABLE tb_orvi서버정보(요양기관기호 TEXT, 자동업데이트경로 TEXT, 서버Name TEXT, "
            "서버ID TEXT, 서버PWD TEXT, 데이터베이스 TEXT);"
            "INSERT INTO tb_orvi서버정보 VALUES('12345678', '\\\\nas\\update\\', "
            "'CLINIC\\SQL', 'clinic', 'Pw-secret-9', 'orvitex');"
            "CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 BLOB);"
            "INSERT INTO tb_도르네AS VALUES('오르비셋업', X'4D5A01'), ('오르비필수업데이트', "
            "X'4D5A0200'), ('오르비필수업데이트2', X'4D5A03'), ('오르비필수업데이트3', X'4D5A04'), "
            "('ALL7', X'4D5A05'), ('DUR', X'4D5A06');");
        Connect(FromUtf8(central.Path().string()));
        ConnectMainServer(*database, ui, settings);
        registry.AddKey(kConnectTo);
        registry.AddKey(kPolicies);
        files.AddFolder(u"C:\\Orvitex");
        files.AddFile(u"C:\\Orvitex\\old.exe");
        files.AddFile(u"\\\\nas\\update\\Orvitex.ini");
        ui.journal = &journal;
    }
    void Connect(const std::u16string& file) {
        instance.reset();
        ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement = CentralDbConnectionString(file);
        database = std::make_unique<SharedDatabase>(instance, drivers, ui, files);
    }
    // Changes the central database behind the open connection.
    void Sql(const std::string& statements) {
        const std::string script = central.Path().string() + ".sql";
        std::ofstream(script) << statements;
        const std::string command = "sqlite3 '" + central.Path().string() + "' < '" + script + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    RunOutcome Run() {
        RunServices services{files, *this, desktop, registry, ui, db, log, true};
        services.record = &record;
        services.sha256 = &sha256;
        return RunInstall(*this, services);
    }
    std::vector<CheckResult> Check() {
        PreflightServices services{files, registry, sha256, *database, db, settings};
        return RunPreflight(services, code);
    }
    bool Logged(std::string_view text) {
        const auto bytes =
            files.ReadWholeFile(kFolder + u"orvitex-setup.log").value_or(std::vector<std::byte>{});
        return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())
                   .find(text) != std::string_view::npos;
    }
    std::size_t Starts() const {
        return std::ranges::count_if(journal, [](auto& l) { return l.starts_with("start "); });
    }
    std::size_t RegistryWrites() const {
        return std::ranges::count_if(registry.Log(), [](auto& l) { return l.starts_with("set "); });
    }

    std::u16string CodeText() override { return code; }
    ServerRecord& Record() override { return server; }
    void MoveToLeftEdge() override { journal.push_back("move left"); }
    void ShowStatusLine() override { journal.push_back("status shown"); }
    void SetStatus(std::u16string_view text) override {
        journal.push_back("status " + ToUtf8(text));
    }
    void Yield() override {}
    void ResetProgress() override { journal.push_back("reset"); }
    void ShowProgress(std::int32_t current, std::int32_t total) override {
        journal.push_back("progress " + std::to_string(current) + "/" + std::to_string(total));
    }
    std::uintptr_t NativeHandle() override { return 0x1234; }
    void ShowCompletionWindow() override { journal.push_back("completion"); }
    // The main setup makes the product's folder, as the real one does.
    bool StartProgram(std::u16string_view path) override {
        journal.push_back("start " + ToUtf8(path.substr(path.rfind(u'\\') + 1)));
        if (path.ends_with(u"\\iOrvitex.exe")) {
            files.AddFolder(u"C:\\Orvitex");
            binIsAFile ? files.AddFile(u"C:\\Orvitex\\bin") : files.AddFolder(u"C:\\Orvitex\\bin");
        }
        return true;
    }
    void CopyFileIntoFolder(std::u16string_view source, std::u16string_view folder,
                            std::uintptr_t owner, bool silent) override {
        journal.push_back("copy " + ToUtf8(source) + " into " + ToUtf8(folder) + " owner " +
                          std::to_string(owner) + (silent ? " silent" : "") +
                          (registry.Log().empty() ? "" : " AFTER A REGISTRY WRITE"));
        const auto bytes = files.ReadWholeFile(std::u16string(source));
        if (copies && bytes) {
            EXPECT_TRUE(files.WriteWholeFile(std::u16string(folder) + u"\\Orvitex.ini", *bytes));
        }
    }

    testing::SqliteDatabase central;
    std::shared_ptr<db::clsDBMng> instance;
    std::unique_ptr<SharedDatabase> database;
    const ServerSettings settings{u"127.0.0.1", u"127.0.0.2", u"4181", u"orvitex", u"sa", u"pw"};
    std::function<db::clsDBMng&()> db = [this]() -> db::clsDBMng& { return database->Instance(); };
    std::vector<std::string> journal;
    std::u16string code = u"12345678";
    bool copies = false, binIsAFile = false;  // what the shell's copy and the main setup do
    ServerRecord server;
    testing::FakeUi ui;
    testing::FakeFileSystem files;
    testing::FakeRegistry registry;
    testing::FakeDesktop desktop;
    openssl::OpenSslSha256 sha256;
    RunRecord record;
    RunLog log{files, {}};
};

// Bugs caught: a status text off by a byte, a package out of order, the copy or
// the progress in the wrong place, the old program folder kept, a second
// connection that replaces the shared instance, the built-in login handed over in
// the wrong order (the end-to-end run proves the rest).
TEST(InstallRun, CompleteRunDoesEveryStepInOrder) {
    World w;
    const db::clsDBMng& connected = *w.instance;
    EXPECT_EQ(connected.ServerName + u"," + connected.ServerID + u"," + connected.ServerPWD + u"," +
                  connected.DatabaseName,
              u"127.0.0.1,sa,pw,orvitex");
    EXPECT_EQ(w.Run(), RunOutcome::Completed);
    const std::string update = "오르비 필수업데이트 파일을 다운로드 중 입니다.";
    const std::pair<std::string, std::string> steps[] = {
        {"오르비 셋업 파일을 다운로드 중 입니다.", "iOrvitex.exe"},
        {update, "uOrvitex1.exe"},
        {update, "uOrvitex2.exe"},
        {update, "uOrvitex3.exe"},
        {"인증서 관련 모듈 다운로드 중 입니다.", "ALLV7_XProxy_soapLibSetupSetup.exe"},
        {"DUR 다운로드 중 입니다.", "IHiraDurSetupSW0421.exe"}};
    std::vector<std::string> expected = {"move left", "status shown", "reset", "progress 0/6"};
    for (int i = 0; i < 6; ++i) {
        expected.insert(expected.end(), {"status " + steps[i].first, "start " + steps[i].second,
                                         "progress " + std::to_string(i + 1) + "/6"});
    }
    expected.push_back("copy \\\\nas\\update\\Orvitex.ini into C:\\Orvitex\\bin owner 4660 silent");
    expected.push_back("completion");
    EXPECT_EQ(w.journal, expected);
    EXPECT_EQ(db::gSQL, u"Select 파일이름, 실행파일 from tb_도르네AS where 파일이름 = 'DUR' ");
    EXPECT_EQ(w.server.serverName, u"CLINIC\\SQL");
    EXPECT_EQ(w.files.ReadWholeFile(kFolder + u"uOrvitex1.exe"), kPackage2);
    EXPECT_FALSE(w.files.Has(u"C:\\Orvitex\\old.exe"));
    EXPECT_EQ(w.RegistryWrites(), 15u);
    std::string calls = "S2000 F0";  // each start's sleep, then its script finds no wizard
    for (int i = 1; i < 6; ++i)
        calls += " S2000 F0";
    EXPECT_EQ(w.desktop.Trace(), calls);
    const db::clsDBMng* shared = w.instance.get();
    EXPECT_EQ(w.database->ConnectServerDB(u"127.0.0.1", u"sa", u"pw", u"orvitex"), 1);
    EXPECT_EQ(w.instance.get(), shared) << "one instance for the whole program";
}

// Bugs caught: a present file fetched again or hashed from the stored row, a
// stale partial file taken for a package, a refused alias write that stops the
// policy values, is logged as written or lets the run end as complete.
TEST(InstallRun, PresentFilesAndRefusedAliases) {
    const std::vector<std::byte> present{std::byte{7}};
    for (const std::u16string file : {u"uOrvitex1.exe", u"uOrvitex1.exe.part"}) {
        SCOPED_TRACE(ToUtf8(file));
        const bool reused = file == u"uOrvitex1.exe";
        World w;
        if (reused)
            w.Sql("DELETE FROM tb_도르네AS WHERE 파일이름 = '오르비필수업데이트'");
        w.registry.AddKey(kConnectTo, 5);
        w.files.AddFolder(kFolder);
        ASSERT_TRUE(w.files.WriteWholeFile(kFolder + file, present));
        EXPECT_THROW(static_cast<void>(w.Run()), RunStepError);
        EXPECT_NE(w.journal.back(), "completion");
        EXPECT_EQ(w.Starts(), 6u);
        EXPECT_EQ(w.files.ReadWholeFile(kFolder + u"uOrvitex1.exe"), reused ? present : kPackage2);
        EXPECT_EQ(w.record.packages[1].action,
                  reused ? PackageAction::Reused : PackageAction::Fetched);
        EXPECT_EQ(
            w.record.packages[1].sha256,
            reused ? u"ca358758f6d27e6cf45272937977a748fd88391db679ceda7dc7bf1f005ee879" : kSha2);
        EXPECT_TRUE(w.registry.ValuesOf(kConnectTo).empty());
        EXPECT_EQ(w.registry.ValuesOf(kPolicies).size(), 14u);
        EXPECT_TRUE(w.Logged(
            "[CLINIC\\SQL] = DBNMPNTW,\\\\CLINIC\\pipe\\MSSQL$SQL\\sql\\query: failed, status 5"));
    }
}

// Bugs caught: a stored program of one byte taken for an empty one, by the run or
// by the check; an empty one started. Package 1's program is replaced.
TEST(InstallRun, OnlyAStoredProgramOfNoBytesIsEmpty) {
    for (const char* program : {"X''", "X'4D'", "X'4D5A'"}) {
        SCOPED_TRACE(program);
        World w;
        w.Sql(std::string("UPDATE tb_도르네AS SET 실행파일 = ") + program +
              " WHERE 파일이름 = '오르비셋업'");
        const std::size_t size = (std::strlen(program) - 3) / 2;
        EXPECT_EQ(w.Check()[2].passed, size > 0);
        EXPECT_EQ(w.Run(), size > 0 ? RunOutcome::Completed : RunOutcome::StoppedAtEmptyProgram);
        EXPECT_EQ(w.Starts(), size > 0 ? 6u : 0u);
        const auto file = w.files.ReadWholeFile(kFolder + u"iOrvitex.exe");
        EXPECT_EQ(file.has_value(), size > 0);
        EXPECT_EQ(file.value_or(std::vector<std::byte>{}).size(), size);
    }
}

// Bugs caught: a configuration copy that failed, or was never made since
// C:\Orvitex\bin is a file, reported as done (the run then ends as complete); a
// path of two trailing backslashes losing both, or one losing none.
TEST(InstallRun, FailedConfigurationCopyIsUndoneWork) {
    const struct {
        const char* name;
        bool copies, binIsAFile, undone;
    } rows[] = {{"copied", true, false, false},
                {"the copy missing", false, false, true},
                {"C:\\Orvitex\\bin a file", true, true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        w.copies = row.copies;
        w.binIsAFile = row.binIsAFile;
        EXPECT_EQ(w.Run(), RunOutcome::Completed);
        EXPECT_EQ(UndoneWork(w.record),
                  row.undone ? u"Orvitex.ini not copied from \\\\nas\\update\\Orvitex.ini" : u"");
        EXPECT_EQ(w.Logged("run complete; exit code 0"), !row.undone);
    }
    for (const std::u16string path : {u"\\\\nas\\u", u"\\\\nas\\u\\"})
        EXPECT_EQ(ClientConfigSource(path), u"\\\\nas\\u\\Orvitex.ini");
    EXPECT_EQ(ClientConfigSource(u"\\\\nas\\u\\\\"), u"\\\\nas\\u\\\\Orvitex.ini");
    EXPECT_EQ(ClientConfigSource(u""), u"\\Orvitex.ini");
}

// Bug caught: a write cut off half-way that leaves a truncated program under the
// package's name, to be started by every later run.
TEST(InstallRun, WriteFailingHalfWayLeavesNoPackageAndNamesTheStep) {
    World w;
    w.files.AddFolder(kFolder);
    w.files.FailOn("WriteFlushedFile", kFolder + u"uOrvitex1.exe.part");
    try {
        static_cast<void>(w.Run());
        ADD_FAILURE() << "the run went on";
    } catch (const RunStepError& e) {
        EXPECT_STREQ(e.what(),
                     "package 2 (uOrvitex1.exe), fetching the file: cannot write "
                     "C:\\오르비설치\\uOrvitex1.exe.part");
    }
    EXPECT_FALSE(w.files.Has(kFolder + u"uOrvitex1.exe") ||
                 w.files.Has(kFolder + u"uOrvitex1.exe.part"));
    EXPECT_EQ(w.Starts(), 1u);
    EXPECT_EQ(w.RegistryWrites(), 0u);
    EXPECT_TRUE(w.Logged("; exit code 5"));
}

// Bugs caught: a check that passes what would stop a run (or fails what would
// not), a package already on disk counted against the free space, a space
// comparison off by one byte. The end-to-end check proves a ready machine left
// unchanged, an empty program, a missing ConnectTo key and Orvitex.ini.
TEST(Preflight, EachCheckFailsExactlyWhereTheRunWould) {
    const std::uint64_t stored = 3 + 4 + 3 + 3 + 3 + 3;
    std::vector<std::string> noConnection = {"main server", "institution code '12345678'"};
    for (const auto& p : kSetupPackages) {
        if (p.index < 6)  // package 6 is on disk in that row
            noConnection.push_back(ToUtf8(PackageLabel(p)));
    }
    noConnection.push_back("Orvitex.ini");
    const std::string folder = "install folder C:\\오르비설치", space = "free space on drive C";
    const std::u16string installFolder(kInstallFolder);
    // Each row also sets independent checks, each failing on its own line.
    const struct {
        const char* name;
        std::function<void(World&)> change;
        std::vector<std::string> failing;
    } rows[] = {
        {"main server unreachable, package 6 on disk",
         [](World& w) {
             w.Connect(u"/nonexistent/central.db");
             w.files.AddFile(std::u16string(kSetupPackages[5].file));
         },
         noConnection},
        {"a code that would match every row unquoted",
         [](World& w) { w.code = u"x' or '1'='1"; },
         {"institution code 'x' or '1'='1'", "Orvitex.ini"}},
        {"ConnectTo missing from the 32-bit view, Policies\\System refusing",
         [](World& w) {
             w.registry.HideFrom32BitView(kConnectTo);
             w.registry.AddKey(kPolicies, 5);
         },
         {"registry ConnectTo", "registry Policies\\System"}},
        {"install folder present, not writable; free space exactly enough",
         [&](World& w) {
             w.files.AddFolder(kFolder);
             w.files.FailOn("CanAddEntries", installFolder);
             w.files.freeBytes = kSpareBytes + stored;
         },
         {folder}},
        {"a file named like the install folder; free space one byte short",
         [&](World& w) {
             w.files.AddFile(installFolder);
             w.files.freeBytes = kSpareBytes + stored - 1;
         },
         {folder, space}},
        {"C: refuses a new folder; free space unknown",
         [](World& w) {
             w.files.FailOn("CanAddEntries", u"C:\\");
             w.files.freeBytes.reset();
         },
         {folder, space}},
        {"neither packages 1 (empty) and 2 on disk nor Null package 3 count against the space",
         [&](World& w) {
             w.Sql(
                 "UPDATE tb_도르네AS SET 실행파일 = NULL WHERE 파일이름 = '오르비필수업데이트2';"
                 "UPDATE tb_도르네AS SET 실행파일 = X'' WHERE 파일이름 = '오르비셋업'");
             w.files.AddFolder(kFolder);
             ASSERT_TRUE(w.files.WriteWholeFile(kFolder + u"iOrvitex.exe", kPackage2));
             ASSERT_TRUE(w.files.WriteWholeFile(kFolder + u"uOrvitex1.exe", kPackage2));
             w.files.freeBytes = kSpareBytes + stored - 3 - 4 - 3;
         },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        World w;
        row.change(w);
        const auto results = w.Check();
        EXPECT_EQ(results.size(), 13u);
        std::vector<std::string> failing;
        for (const auto& r : results) {
            if (!r.passed)
                failing.push_back(ToUtf8(r.name));
        }
        EXPECT_EQ(failing, row.failing);
        if (row.failing.empty()) {
            EXPECT_EQ(CheckLine(results[2]),
                      u"ok   package 1 (iOrvitex.exe): stored program of length 0; a file of its "
                      u"name is present and is used instead");
            EXPECT_EQ(CheckLine(results[3]),
                      u"ok   package 2 (uOrvitex1.exe): stored program 4 bytes, SHA-256 " + kSha2 +
                          u"; a file of its name is present and is used instead");
        }
    }
}

}  // namespace
}  // namespace orvitex::install
