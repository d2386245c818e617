#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
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
#include "install/Preflight.h"
#include "install/RunReport.h"
#include "install/SharedDatabase.h"
#include "platform/openssl/OpenSslSha256.h"
#include "support/SqliteDatabase.h"

namespace orvitex::install {
namespace {

using testing::ProgramEnded;
using Journal = std::vector<std::string>;

constexpr char16_t kCode[] = u"12345678";
const std::u16string kFolder = u"C:\\오르비설치\\";
const std::u16string kConnectTo = u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
const std::u16string kPolicies = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// The main window as the run sees it, journalled; can close itself at a yield.
class FakeRunWindow : public RunWindow {
public:
    explicit FakeRunWindow(Journal& journal) : journal_(journal) {}
    std::u16string code = kCode;
    ServerRecord record;
    int closeAtYield = 0;  // 0: never

    std::u16string CodeText() override { return code; }
    ServerRecord& Record() override { return record; }
    void MoveToLeftEdge() override { journal_.push_back("move left"); }
    void ShowStatusLine() override { journal_.push_back("status shown"); }
    void SetStatus(std::u16string_view text) override {
        journal_.push_back("status " + ToUtf8(text));
    }
    void Yield() override {
        if (++yields_ == closeAtYield) {
            throw MainWindowClosed{};
        }
    }
    void ResetProgress() override { journal_.push_back("reset"); }
    void ShowProgress(std::int32_t current, std::int32_t total) override {
        Yield();
        journal_.push_back("progress " + std::to_string(current) + "/" + std::to_string(total));
    }
    std::uintptr_t NativeHandle() override { return 0x1234; }
    void ShowCompletionWindow() override { journal_.push_back("completion"); }

private:
    Journal& journal_;
    int yields_ = 0;
};

class RecordingShell : public platform::Shell {
public:
    RecordingShell(Journal& journal, testing::FakeRegistry& registry,
                   testing::FakeFileSystem& files)
        : journal_(journal), registry_(registry), files_(files) {}
    // The main setup makes the product's folder, as the real one does.
    bool StartProgram(std::u16string_view path) override {
        journal_.push_back("start " + ToUtf8(path));
        if (path.ends_with(u"\\iOrvitex.exe")) {
            files_.AddFolder(u"C:\\Orvitex");
            files_.AddFolder(u"C:\\Orvitex\\bin");
        }
        return true;
    }
    void CopyFileIntoFolder(std::u16string_view source, std::u16string_view folder,
                            std::uintptr_t owner, bool silent) override {
        journal_.push_back("copy " + ToUtf8(source) + " into " + ToUtf8(folder) + " owner " +
                           std::to_string(owner) + (silent ? " silent" : "") +
                           (registry_.Log().empty() ? "" : " AFTER A REGISTRY WRITE"));
    }

private:
    Journal& journal_;
    testing::FakeRegistry& registry_;
    testing::FakeFileSystem& files_;
};

// Stored programs by key; "NULL" and "X''" give the Null and empty ones.
std::string CentralScript(const std::map<std::string, std::string>& programs) {
    std::string sql =
        "CREATE TABLE tb_orvi서버정보(요양기관기호 TEXT, 자동업데이트경로 TEXT, 서버Name TEXT, "
        "서버ID TEXT, 서버PWD TEXT, 데이터베이스 TEXT);"
        "INSERT INTO tb_orvi서버정보 VALUES('12345678', '\\\\nas\\update\\', 'CLINIC\\SQL', "
        "'clinic', 'Pw-secret-9', 'orvitex');"
        "CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 BLOB);";
    for (const auto& [key, value] : programs) {
        sql += "INSERT INTO tb_도르네AS VALUES('" + key + "', " + value + ");";
    }
    return sql;
}

const std::map<std::string, std::string> kAllPrograms = {{"오르비셋업", "X'4D5A01'"},
                                                         {"오르비필수업데이트", "X'4D5A0200'"},
                                                         {"오르비필수업데이트2", "X'4D5A03'"},
                                                         {"오르비필수업데이트3", "X'4D5A04'"},
                                                         {"ALL7", "X'4D5A05'"},
                                                         {"DUR", "X'4D5A06'"}};

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
    std::vector<std::byte> bytes;
    for (const int v : values) {
        bytes.push_back(static_cast<std::byte>(v));
    }
    return bytes;
}

// A central database with these stored programs, and the fake machine the run works on.
struct World {
    explicit World(const std::map<std::string, std::string>& programs) {
        const std::string script = central.Path().string() + ".sql";
        std::ofstream(script) << CentralScript(programs);
        const std::string command = "sqlite3 '" + central.Path().string() + "' < '" + script + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        ado::ProviderDrivers drivers;
        drivers.sqlServerReplacement = CentralDbConnectionString(FromUtf8(central.Path().string()));
        database = std::make_unique<SharedDatabase>(instance, drivers, ui, files);
        EXPECT_EQ(database->ConnectServerDB(u"127.0.0.1", u"sa", u"pw", u"orvitex"), 1);
        registry.AddKey(kConnectTo);
        registry.AddKey(kPolicies);
        files.AddFolder(u"C:\\Orvitex");
        files.AddFile(u"C:\\Orvitex\\old.exe");
        ui.journal = &journal;
    }
    RunOutcome Run() {
        RunServices services{files,   shell,
                             desktop, registry,
                             ui,      [this]() -> db::clsDBMng& { return database->Instance(); },
                             log,     true};
        services.record = &record;
        services.sha256 = &sha256;
        return RunInstall(window, services);
    }
    std::vector<CheckResult> Check() {
        const ServerSettings settings{u"127.0.0.1", u"127.0.0.2", u"4181",
                                      u"orvitex",   u"sa",        u"pw"};
        PreflightServices services{files,
                                   registry,
                                   sha256,
                                   *database,
                                   [this]() -> db::clsDBMng& { return database->Instance(); },
                                   settings};
        return RunPreflight(services, window.code);
    }
    std::string RunLogText() {
        const auto bytes = files.ReadWholeFile(kFolder + u"orvitex-setup.log");
        return bytes ? std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size())
                     : std::string();
    }
    std::vector<std::string> Starts() const {
        std::vector<std::string> starts;
        for (const auto& line : journal) {
            if (line.starts_with("start ")) {
                starts.push_back(line.substr(line.rfind('\\') + 1));
            }
        }
        return starts;
    }
    std::size_t RegistryWrites() const {
        return static_cast<std::size_t>(
            std::count_if(registry.Log().begin(), registry.Log().end(),
                          [](const std::string& line) { return line.starts_with("set "); }));
    }

    testing::SqliteDatabase central;
    std::shared_ptr<db::clsDBMng> instance;
    std::unique_ptr<SharedDatabase> database;
    Journal journal;
    std::vector<std::u16string> mirrored;
    testing::FakeUi ui;
    testing::FakeFileSystem files;
    testing::FakeRegistry registry;
    testing::FakeDesktop desktop;
    RecordingShell shell{journal, registry, files};
    FakeRunWindow window{journal};
    openssl::OpenSslSha256 sha256;
    RunRecord record;
    RunLog log{files, [this](std::u16string_view line) { mirrored.emplace_back(line); }};
};

const std::vector<std::string> kAllStarts = {"iOrvitex.exe",
                                             "uOrvitex1.exe",
                                             "uOrvitex2.exe",
                                             "uOrvitex3.exe",
                                             "ALLV7_XProxy_soapLibSetupSetup.exe",
                                             "IHiraDurSetupSW0421.exe"};

// Bugs caught: a text off by a byte, a package out of order, the copy or the
// progress in the wrong place, a value of the wrong type, case or order.
TEST(InstallRun, CompleteRunDoesEveryStepInOrder) {
    World w(kAllPrograms);
    EXPECT_EQ(w.Run(), RunOutcome::Completed);

    const Journal expected = {
        "move left",
        "status shown",
        "reset",
        "progress 0/6",
        "status 오르비 셋업 파일을 다운로드 중 입니다.",
        "start C:\\오르비설치\\iOrvitex.exe",
        "progress 1/6",
        "status 오르비 필수업데이트 파일을 다운로드 중 입니다.",
        "start C:\\오르비설치\\uOrvitex1.exe",
        "progress 2/6",
        "status 오르비 필수업데이트 파일을 다운로드 중 입니다.",
        "start C:\\오르비설치\\uOrvitex2.exe",
        "progress 3/6",
        "status 오르비 필수업데이트 파일을 다운로드 중 입니다.",
        "start C:\\오르비설치\\uOrvitex3.exe",
        "progress 4/6",
        "status 인증서 관련 모듈 다운로드 중 입니다.",
        "start C:\\오르비설치\\ALLV7_XProxy_soapLibSetupSetup.exe",
        "progress 5/6",
        "status DUR 다운로드 중 입니다.",
        "start C:\\오르비설치\\IHiraDurSetupSW0421.exe",
        "progress 6/6",
        "copy \\\\nas\\update\\Orvitex.ini into C:\\Orvitex\\bin owner 4660 silent",
        "completion"};
    EXPECT_EQ(w.journal, expected);
    EXPECT_EQ(db::gSQL, u"Select 파일이름, 실행파일 from tb_도르네AS where 파일이름 = 'DUR' ");
    EXPECT_EQ(w.window.record.serverName, u"CLINIC\\SQL");
    EXPECT_EQ(w.files.ReadWholeFile(kFolder + u"uOrvitex1.exe"), Bytes({0x4D, 0x5A, 0x02, 0x00}));
    EXPECT_FALSE(w.files.Has(u"C:\\Orvitex\\old.exe"));
    EXPECT_EQ(w.desktop.Only(testing::FakeDesktop::Kind::Sleep).size(), 6u);

    std::vector<std::string> sets;
    for (const auto& line : w.registry.Log()) {
        if (line.starts_with("set ")) {
            sets.push_back(line.substr(line.rfind('[')));
        }
    }
    const std::vector<std::string> names = {"[CLINIC\\SQL]",
                                            "[ConsentPromptBehaviorAdmin]",
                                            "[ConsentPromptBehaviorUser]",
                                            "[dontdisplaylastusername]",
                                            "[EnableInstallerDetection]",
                                            "[EnableLUA]",
                                            "[EnableSecureUIAPaths]",
                                            "[EnableUIADesktopToggle]",
                                            "[EnableVirtualization]",
                                            "[FilterAdministratorToken]",
                                            "[PromptOnSecureDesktop]",
                                            "[scforceoption]",
                                            "[shutdownwithoutlogon]",
                                            "[undockwithoutlogon]",
                                            "[ValidateAdminCodesSignatures]"};
    EXPECT_EQ(sets, names);
    const auto& policy = w.registry.ValuesOf(kPolicies);
    EXPECT_EQ(policy.at(u"ConsentPromptBehaviorUser").type, platform::kRegDword);
    EXPECT_EQ(policy.at(u"ConsentPromptBehaviorUser").data, Bytes({3, 0, 0, 0}));
    const auto alias = w.registry.ValuesOf(kConnectTo).at(u"CLINIC\\SQL").data;
    EXPECT_EQ(alias.size(), 2 * (sizeof "DBNMPNTW,\\\\CLINIC\\pipe\\MSSQL$SQL\\sql\\query"));

    const std::string text = w.RunLogText();
    EXPECT_NE(text.find("institution code '12345678'"), std::string::npos) << text;
    EXPECT_NE(text.find("package 2 (uOrvitex1.exe): fetched, 4 bytes, SHA-256 "
                        "58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7"),
              std::string::npos);
    EXPECT_NE(text.find("[ValidateAdminCodesSignatures] = 0: written"), std::string::npos);
    EXPECT_EQ(text.find("Pw-secret-9"), std::string::npos) << "the institution's password";
    EXPECT_EQ(w.mirrored.size(),
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
}

// Bugs caught: an unknown or hostile code that still changes the machine, or a
// quote that changes what the statement does.
TEST(InstallRun, UnknownAndHostileCodesTouchNothing) {
    World w(kAllPrograms);
    const std::u16string codes[] = {u"x' or '1'='1",
                                    u"'; drop table tb_orvi서버정보; --",
                                    u"12345678'",
                                    u" 12345678",
                                    u"",
                                    u"1234%",
                                    u"1234567_",
                                    u"12345678 /*",
                                    u"1234\x01\t\n5678",
                                    u"요양기관",
                                    std::u16string(u"1234\xD800"),
                                    std::u16string(64 * 1024, u'1')};
    for (const auto& code : codes) {
        SCOPED_TRACE(ToUtf8(code));
        w.journal.clear();
        w.window.code = code;
        w.window.record.serverName = u"kept";
        EXPECT_EQ(w.Run(), RunOutcome::UnknownInstitution);
        EXPECT_EQ(w.journal, Journal{"message 요양기관기호를 다시한번 확인해주세요."});
        EXPECT_EQ(w.window.record.serverName, u"kept");
        EXPECT_EQ(w.window.code, code);
        EXPECT_TRUE(w.files.Log().empty());
        EXPECT_TRUE(w.registry.Log().empty());
    }
    EXPECT_EQ(InstitutionQuery(u"a'b"),
              u" Select 자동업데이트경로, 서버Name, 서버ID, 서버PWD, 데이터베이스 from "
              u"tb_orvi서버정보 where 요양기관기호 = 'a''b' ");
    w.window.code = kCode;
    EXPECT_EQ(w.Run(), RunOutcome::Completed) << "the table survived";
}

// Bugs caught: a Null program that stops the run or loses its progress, an empty
// one that still writes settings, a present file fetched again, a stale partial
// file taken for a package.
TEST(InstallRun, NullEmptyPresentAndStalePrograms) {
    struct Row {
        const char* name;
        std::string key, value;  // the stored program changed for this row
        std::u16string presentFile;
        RunOutcome outcome;
        std::vector<std::string> starts;
        std::string lastProgress;
        std::size_t registryWrites;
        std::string actions;  // per package: Fetched Reused Null Empty, - not reached
    };
    std::vector<std::string> without3 = kAllStarts;
    without3.erase(without3.begin() + 2);
    const Row rows[] = {
        {"package 3 Null", "오르비필수업데이트2", "NULL", u"", RunOutcome::Completed, without3,
         "progress 6/6", 15, "FFNFFF"},
        {"package 5 empty",
         "ALL7",
         "X''",
         u"",
         RunOutcome::StoppedAtEmptyProgram,
         {kAllStarts.begin(), kAllStarts.begin() + 4},
         "progress 4/6",
         0,
         "FFFFE-"},
        {"package 2 present, its row gone", "오르비필수업데이트", "X'00'", u"uOrvitex1.exe",
         RunOutcome::Completed, kAllStarts, "progress 6/6", 15, "FRFFFF"},
        {"stale partial of package 2", "오르비필수업데이트", "X'4D5A0200'", u"uOrvitex1.exe.part",
         RunOutcome::Completed, kAllStarts, "progress 6/6", 15, "FFFFFF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto programs = kAllPrograms;
        programs[row.key] = row.value;
        if (row.value == "X'00'") {
            programs.erase(row.key);
        }
        World w(programs);
        w.files.AddFolder(kFolder);
        if (!row.presentFile.empty()) {
            ASSERT_TRUE(w.files.WriteWholeFile(kFolder + row.presentFile, Bytes({7})));
        }
        EXPECT_EQ(w.Run(), row.outcome);
        EXPECT_EQ(w.Starts(), row.starts);
        const auto last = std::find_if(w.journal.rbegin(), w.journal.rend(),
                                       [](const auto& l) { return l.starts_with("progress"); });
        EXPECT_EQ(*last, row.lastProgress);
        EXPECT_EQ(w.RegistryWrites(), row.registryWrites);
        EXPECT_EQ(w.journal.back() == "completion", row.outcome == RunOutcome::Completed);
        const auto second = w.files.ReadWholeFile(kFolder + u"uOrvitex1.exe");
        EXPECT_EQ(second, row.presentFile == u"uOrvitex1.exe" ? Bytes({7})
                                                              : Bytes({0x4D, 0x5A, 0x02, 0x00}));
        std::string actions;
        for (const auto& p : w.record.packages) {
            actions += "-FRNE"[static_cast<int>(p.action)];
            EXPECT_EQ(p.started, actions.back() == 'F' || actions.back() == 'R');
        }
        EXPECT_EQ(actions, row.actions);
        // The hash names the file as started, not the stored row.
        EXPECT_EQ(w.record.packages[1].sha256,
                  row.presentFile == u"uOrvitex1.exe"
                      ? u"ca358758f6d27e6cf45272937977a748fd88391db679ceda7dc7bf1f005ee879"
                      : u"58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7");
    }
}

// Bugs caught: a refused alias write that stops the policy values, is logged as
// written, or lets the run end as complete.
TEST(InstallRun, PolicyValuesFollowARefusedAliasWrite) {
    World w(kAllPrograms);
    w.registry.AddKey(kConnectTo, 5);
    EXPECT_THROW(static_cast<void>(w.Run()), RunStepError);
    EXPECT_NE(w.journal.back(), "completion");
    EXPECT_TRUE(w.registry.ValuesOf(kConnectTo).empty());
    EXPECT_EQ(w.registry.ValuesOf(kPolicies).size(), 14u);
    EXPECT_NE(
        w.RunLogText().find("[CLINIC\\SQL] = DBNMPNTW,\\\\CLINIC\\pipe\\MSSQL$SQL\\sql\\query: "
                            "failed, status 5"),
        std::string::npos);
}

// Bug caught: a write cut off half-way that leaves a truncated program under the
// package's name, to be started by every later run.
TEST(InstallRun, WriteFailingHalfWayLeavesNoPackageAndNamesTheStep) {
    World w(kAllPrograms);
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
    EXPECT_FALSE(w.files.Has(kFolder + u"uOrvitex1.exe"));
    EXPECT_FALSE(w.files.Has(kFolder + u"uOrvitex1.exe.part"));
    EXPECT_EQ(w.Starts(), std::vector<std::string>{"iOrvitex.exe"});
    EXPECT_EQ(w.RegistryWrites(), 0u);
    EXPECT_NE(w.RunLogText().find("; exit code 5"), std::string::npos);
}

// Bug caught: a run that goes on (or touches the window) after it was closed.
TEST(InstallRun, ClosingTheWindowEndsTheRunAtItsNextYield) {
    World w(kAllPrograms);
    w.window.closeAtYield = 3;  // 0/6, package 1's status, then package 1's progress
    try {
        static_cast<void>(w.Run());
        ADD_FAILURE() << "the run went on";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.exitCode, 5);
    }
    EXPECT_EQ(w.Starts(), std::vector<std::string>{"iOrvitex.exe"});
    EXPECT_EQ(w.journal.back(), "end 5");
    EXPECT_EQ(w.RegistryWrites(), 0u);
    EXPECT_NE(w.RunLogText().find("main window closed during the run; exit code 5"),
              std::string::npos);
}

std::vector<std::string> Failing(const std::vector<CheckResult>& results) {
    std::vector<std::string> names;
    for (const auto& r : results) {
        if (!r.passed) {
            names.push_back(ToUtf8(r.name));
        }
    }
    return names;
}

// Bugs caught: a check that passes what would stop a run (or fails what would
// not), a package already on disk counted against the free space, a space
// comparison off by one byte, a check that changes the machine.
TEST(Preflight, EachCheckFailsExactlyWhereTheRunWould) {
    const std::u16string ini = u"\\\\nas\\update\\Orvitex.ini";
    const std::uint64_t stored = 3 + 4 + 3 + 3 + 3 + 3;
    std::vector<std::string> noConnection = {"main server", "institution code '12345678'"};
    for (const auto& p : kSetupPackages) {
        noConnection.push_back(ToUtf8(PackageLabel(p)));
    }
    noConnection.push_back("Orvitex.ini");
    struct Row {
        const char* name;
        std::map<std::string, std::string> programs;  // changed stored programs
        std::function<void(World&)> change;
        std::vector<std::string> failing;
    };
    const Row rows[] = {
        {"all pass", {}, [](World&) {}, {}},
        {"main server unreachable",
         {},
         [](World& w) {
             w.instance.reset();
             ado::ProviderDrivers drivers;
             drivers.sqlServerReplacement = CentralDbConnectionString(u"/nonexistent/central.db");
             w.database = std::make_unique<SharedDatabase>(w.instance, drivers, w.ui, w.files);
         },
         noConnection},
        {"unknown code",
         {},
         [](World& w) { w.window.code = u"9"; },
         {"institution code '9'", "Orvitex.ini"}},
        {"package 3 Null, package 5 empty",
         {{"오르비필수업데이트2", "NULL"}, {"ALL7", "X''"}},
         [](World&) {},
         {"package 5 (ALLV7_XProxy_soapLibSetupSetup.exe)"}},
        {"package 5 empty, its file present",
         {{"ALL7", "X''"}},
         [](World& w) {
             w.files.AddFolder(kFolder);
             w.files.AddFile(kFolder + u"ALLV7_XProxy_soapLibSetupSetup.exe");
         },
         {}},
        {"ConnectTo missing from the 32-bit view",
         {},
         [](World& w) { w.registry.HideFrom32BitView(kConnectTo); },
         {"registry ConnectTo"}},
        {"Policies\\System refuses writes",
         {},
         [](World& w) { w.registry.AddKey(kPolicies, 5); },
         {"registry Policies\\System"}},
        {"install folder present", {}, [](World& w) { w.files.AddFolder(kFolder); }, {}},
        {"install folder present, not writable",
         {},
         [](World& w) {
             w.files.AddFolder(kFolder);
             w.files.FailOn("CanAddEntries", std::u16string(kInstallFolder));
         },
         {"install folder C:\\오르비설치"}},
        {"a file named like the install folder",
         {},
         [](World& w) { w.files.AddFile(std::u16string(kInstallFolder)); },
         {"install folder C:\\오르비설치"}},
        {"C: refuses a new folder",
         {},
         [](World& w) { w.files.FailOn("CanAddEntries", u"C:\\"); },
         {"install folder C:\\오르비설치"}},
        {"free space exactly enough",
         {},
         [&](World& w) { w.files.freeBytes = kSpareBytes + stored; },
         {}},
        {"free space one byte short",
         {},
         [&](World& w) { w.files.freeBytes = kSpareBytes + stored - 1; },
         {"free space on drive C"}},
        {"free space unknown",
         {},
         [](World& w) { w.files.freeBytes.reset(); },
         {"free space on drive C"}},
        {"package 2 on disk is not fetched again",
         {},
         [&](World& w) {
             w.files.AddFolder(kFolder);
             ASSERT_TRUE(w.files.WriteWholeFile(kFolder + u"uOrvitex1.exe", Bytes({7})));
             w.files.freeBytes = kSpareBytes + stored - 4;
         },
         {}},
        {"Orvitex.ini missing",
         {},
         [&](World& w) { ASSERT_TRUE(w.files.DeleteFile(ini)); },
         {"Orvitex.ini"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto programs = kAllPrograms;
        for (const auto& [key, value] : row.programs) {
            programs[key] = value;
        }
        World w(programs);
        w.files.AddFile(ini);
        row.change(w);
        w.files.ClearLog();
        const auto results = w.Check();
        EXPECT_EQ(results.size(), 13u);
        EXPECT_EQ(Failing(results), row.failing);
        for (const auto& line : w.files.Log()) {
            EXPECT_TRUE(line.starts_with("GetAttributes") || line.starts_with("FindFirst") ||
                        line.starts_with("FreeBytes") || line.starts_with("CanAddEntries"))
                << line;
        }
        for (const auto& line : w.registry.Log()) {
            EXPECT_TRUE(line.starts_with("probe ")) << line;
        }
        if (row.failing.empty()) {
            EXPECT_EQ(ToUtf8(CheckLine(results[3])),
                      "ok   package 2 (uOrvitex1.exe): stored program 4 bytes, SHA-256 "
                      "58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7" +
                          std::string(w.files.FileExists(kFolder + u"uOrvitex1.exe")
                                          ? "; a file of its name is present and is used instead"
                                          : ""));
        }
    }
}

// Bugs caught: a report that leaks a password, loses a package or a registry
// write, is left half-written, or is not JSON.
TEST(RunReport, ReadsBackWholeWithoutPasswords) {
    World w(kAllPrograms);
    EXPECT_EQ(w.Run(), RunOutcome::Completed);
    const std::u16string path = u"C:\\report.json";
    ASSERT_TRUE(WriteReport(w.files, path, {u"1.0.0", false, u"a", u"b", 0}, w.record));
    EXPECT_FALSE(w.files.Has(path + u".part"));
    const auto bytes = w.files.ReadWholeFile(path);
    const std::string text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    EXPECT_EQ(text.find("Pw-secret-9"), std::string::npos);
    const auto doc = nlohmann::json::parse(text);
    EXPECT_EQ(doc["exitMeaning"], "complete");
    EXPECT_EQ(doc["code"], "12345678");
    ASSERT_EQ(doc["packages"].size(), 6u);
    EXPECT_EQ(doc["packages"][1]["sha256"],
              "58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7");
    EXPECT_EQ(doc["packages"][5]["script"], "not found") << "the fake desktop has no wizard";
    EXPECT_EQ(doc["packages"][5]["seconds"], 2.0);
    EXPECT_EQ(doc["clientConfig"]["result"],
              "failed: the copy differs from the source or is missing")
        << "the recording shell copies nothing";
    ASSERT_EQ(doc["registryWrites"].size(), 15u);
    EXPECT_EQ(doc["registryWrites"][14]["result"], "written");

    w.record.checks = {{u"main server", false, u"cannot connect"}};
    const auto check = nlohmann::json::parse(ReportJson({u"1", true, u"a", u"b", 7}, w.record));
    EXPECT_EQ(check["exitMeaning"], "a check failed");
    EXPECT_EQ(check["checks"][0]["ok"], false);
}

}  // namespace
}  // namespace orvitex::install
