#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "FakeDesktop.h"
#include "FakeFileSystem.h"
#include "FakeRegistry.h"
#include "FakeUi.h"
#include "db/gSQL.h"
#include "install/CentralDb.h"
#include "install/InstallRun.h"
#include "install/Institution.h"
#include "install/SharedDatabase.h"
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
        return RunInstall(window, services);
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
    EXPECT_NE(text.find("package 2 (uOrvitex1.exe): fetched, 4 bytes"), std::string::npos);
    EXPECT_NE(text.find("[ValidateAdminCodesSignatures] = 0: written"), std::string::npos);
    EXPECT_EQ(text.find("Pw-secret-9"), std::string::npos) << "the institution's password";
    EXPECT_EQ(w.mirrored.size(),
              static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
}

// Bugs caught: an unknown or hostile code that still changes the machine, or a
// quote that changes what the statement does.
TEST(InstallRun, UnknownAndHostileCodesTouchNothing) {
    World w(kAllPrograms);
    const std::u16string codes[] = {u"x' or '1'='1", u"'; drop table tb_orvi서버정보; --",
                                    u"12345678'", u" 12345678", u""};
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
    };
    std::vector<std::string> without3 = kAllStarts;
    without3.erase(without3.begin() + 2);
    const Row rows[] = {
        {"package 3 Null", "오르비필수업데이트2", "NULL", u"", RunOutcome::Completed, without3,
         "progress 6/6", 15},
        {"package 5 empty",
         "ALL7",
         "X''",
         u"",
         RunOutcome::StoppedAtEmptyProgram,
         {kAllStarts.begin(), kAllStarts.begin() + 4},
         "progress 4/6",
         0},
        {"package 2 present, its row gone", "오르비필수업데이트", "X'00'", u"uOrvitex1.exe",
         RunOutcome::Completed, kAllStarts, "progress 6/6", 15},
        {"stale partial of package 2", "오르비필수업데이트", "X'4D5A0200'", u"uOrvitex1.exe.part",
         RunOutcome::Completed, kAllStarts, "progress 6/6", 15},
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
    }
}

// Bugs caught: a refused alias write that stops the policy values, or is logged
// as written.
TEST(InstallRun, PolicyValuesFollowARefusedAliasWrite) {
    World w(kAllPrograms);
    w.registry.AddKey(kConnectTo, 5);
    EXPECT_EQ(w.Run(), RunOutcome::Completed);
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

}  // namespace
}  // namespace orvitex::install
