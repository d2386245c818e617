#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "FakeFileSystem.h"
#include "FakeRegistry.h"
#include "FakeUi.h"
#include "install/CentralDb.h"
#include "install/InstallRun.h"
#include "install/Packages.h"
#include "install/RunLog.h"
#include "install/SharedDatabase.h"
#include "install/Workstation.h"
#include "support/PostgresServer.h"

namespace orvitex::install {
namespace {

using testing::PostgresServer;
const std::u16string kConnectTo = u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
const std::u16string kPolicies(kPolicyKey);

// The main window and the shell as the run sees them.
struct Window : RunWindow, platform::Shell {
    ServerRecord record;
    bool completed = false;
    std::function<void(std::int32_t)> onProgress = [](std::int32_t) {};
    std::u16string CodeText() override { return u"12345678"; }
    ServerRecord& Record() override { return record; }
    void MoveToLeftEdge() override {}
    void ShowStatusLine() override {}
    void SetStatus(std::u16string_view) override {}
    void Yield() override {}
    void ResetProgress() override {}
    void ShowProgress(std::int32_t done, std::int32_t) override { onProgress(done); }
    std::uintptr_t NativeHandle() override { return 0; }
    void ShowCompletionWindow() override { completed = true; }
    bool StartProgram(std::u16string_view) override { return true; }
    void CopyFileIntoFolder(std::u16string_view, std::u16string_view, std::uintptr_t,
                            bool) override {}
};

// A machine over a central database that holds every package.
struct Machine {
    Machine(const std::u16string& central, bool postgres) {
        database = std::make_unique<SharedDatabase>(
            instance, ado::ProviderDrivers{.sqlServerReplacement = central}, ui, files);
        EXPECT_EQ(database->ConnectServerDB(u"127.0.0.1", u"sa", u"", u"orvitex"), 1);
        std::vector<std::u16string> sql = {
            u"CREATE TABLE tb_orvi서버정보(요양기관기호 TEXT, 자동업데이트경로 TEXT, 서버Name "
            u"TEXT, 서버ID TEXT, 서버PWD TEXT, 데이터베이스 TEXT)",
            u"INSERT INTO tb_orvi서버정보 VALUES('12345678', 'C:\\u', 'CLINIC\\SQL', 'c', 'p', "
            u"'o')",
            postgres ? u"CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 bytea)"
                     : u"CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 BLOB)"};
        for (const auto& p : kSetupPackages) {
            sql.push_back(u"INSERT INTO tb_도르네AS VALUES('" + std::u16string(p.key) +
                          (postgres ? u"', decode('4D5A01', 'hex'))" : u"', X'4D5A01')"));
        }
        for (const auto& statement : sql) {
            EXPECT_EQ(database->Instance().RunSQL(statement), 1) << ToUtf8(statement);
        }
    }
    // The run in unattended mode: its failure, or "" when it completed.
    std::string Run() {
        RunServices services{files, window, desktop, registry, ui, shared, log, true};
        window.completed = false;
        try {
            EXPECT_EQ(RunInstall(window, services), RunOutcome::Completed);
        } catch (const RunStepError& e) {
            EXPECT_FALSE(window.completed);
            return e.what();
        }
        EXPECT_TRUE(window.completed);
        return {};
    }

    std::shared_ptr<db::clsDBMng> instance;
    std::unique_ptr<SharedDatabase> database;
    std::function<db::clsDBMng&()> shared = [this]() -> db::clsDBMng& {
        return database->Instance();
    };
    testing::FakeUi ui;
    testing::FakeFileSystem files;
    testing::FakeRegistry registry;
    testing::FakeDesktop desktop;
    Window window;
    std::vector<std::u16string> logged;
    RunLog log{files, [this](std::u16string_view line) { logged.emplace_back(line); }};
};

// Bugs caught: a lost server read as an empty or Null program (the run going on,
// or a truncated file left under the package's name), a loss not told, a run that
// cannot complete once the server is back.
TEST(CentralLoss, ServerStoppedAtAWizardFailsTheNextFetchAndARunAfterItsReturnCompletes) {
    auto& server = PostgresServer::Shared();
    if (!server.Running()) {
        GTEST_SKIP() << server.Problem();
    }
    Machine m(server.ConnectionString(server.CreateDatabase()), true);
    m.registry.AddKey(kConnectTo);
    m.registry.AddKey(kPolicies);
    m.window.onProgress = [&server](std::int32_t done) {  // package 2 fetched and clicked
        if (done == 2) {
            server.Stop();
        }
    };
    const std::string failure = m.Run();
    server.Start();
    ASSERT_TRUE(server.Running()) << server.Problem();
    EXPECT_EQ(failure.rfind("package 3 (uOrvitex2.exe), fetching the file: ", 0), 0u) << failure;
    ASSERT_EQ(m.ui.messages.size(), 1u);
    EXPECT_EQ(m.ui.messages[0].text, u"인터넷 또는 서버연결이 끊겼습니다");
    EXPECT_TRUE(m.logged.back().ends_with(u"; exit code 5"));
    for (const auto& p : kSetupPackages) {
        SCOPED_TRACE(ToUtf8(p.file));
        EXPECT_EQ(m.files.Has(std::u16string(p.file)), p.index < 3);
        EXPECT_FALSE(m.files.Has(std::u16string(p.file) + u".part"));
    }
    EXPECT_TRUE(m.registry.ValuesOf(kConnectTo).empty() && m.registry.ValuesOf(kPolicies).empty());

    m.ui.messages.clear();
    m.window.onProgress = [](std::int32_t) {};
    EXPECT_EQ(m.Run(), "");
    EXPECT_TRUE(m.ui.messages.empty());
    EXPECT_EQ(m.files.ReadWholeFile(kSetupPackages[2].file)->size(), 3u);
}

// Bugs caught: a run that ends as complete with a registry value not written; a
// missing key that stops the values after it.
TEST(WorkstationFaults, AMissingKeyFailsTheRunAfterEveryValueWasTried) {
    Machine m(u"Driver={SQLite3};Database=:memory:", false);
    for (const auto& [missing, written, count] :
         {std::tuple{kConnectTo, kPolicies, "1"}, std::tuple{kPolicies, kConnectTo, "14"}}) {
        SCOPED_TRACE(ToUtf8(missing));
        m.registry = {};
        m.registry.AddKey(written);
        const std::string failure = m.Run();
        const std::string expected = "workstation settings: " + std::string(count) +
                                     " of 15 registry values not written: " + ToUtf8(missing);
        EXPECT_EQ(failure.rfind(expected, 0), 0u) << failure;
        EXPECT_EQ(m.registry.ValuesOf(written).size(), written == kConnectTo ? 1u : 14u);
        EXPECT_FALSE(m.registry.HasKey(missing));
        EXPECT_TRUE(m.logged.back().ends_with(u"; exit code 5"));
    }
}

// Bugs caught: a string the driver manager would split otherwise than written (an
// open brace, a part without a key), a data source of the machine taking over.
TEST(CentralOdbc, ConnectionStringTakenOnlyWhenReadAsWritten) {
    EXPECT_TRUE(CentralOdbcConnectionString(
        u" DRIVER ={PostgreSQL Unicode};Server=127.0.0.1;UID=u;PWD={a;b}}c};"));
    for (const std::u16string_view text :
         {u"Driver={x};PWD={a;b", u"Driver=x;Database", u"Driver={};Database=d",
          u"Server=127.0.0.1;Database=d", u"Driver=x;DSN=central", u"Driver=x; FILEDSN =c.dsn",
          u"Driver=x;Database=a\nb"}) {
        SCOPED_TRACE(ToUtf8(text));
        EXPECT_FALSE(CentralOdbcConnectionString(text));
    }
}

// Bugs caught: lines held while the install folder is missing written twice once
// it exists, or lost; every line is written once, in order.
TEST(RunLogFaults, HeldLinesAreWrittenOnceTheFolderExists) {
    testing::FakeFileSystem files;
    RunLog log{files, {}};
    log.Line(u"a");
    log.Line(u"b");
    files.AddFolder(std::u16string(kInstallFolder));
    log.Line(u"c");
    log.Line(u"d");
    const auto bytes =
        files.ReadWholeFile(std::u16string(kRunLogFile)).value_or(std::vector<std::byte>{});
    std::string lines;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (at >= 2 && bytes[at] == std::byte{'\r'})
            lines += static_cast<char>(bytes[at - 1]);  // the line's text, after its stamp
    }
    EXPECT_EQ(lines, "abcd");
}

}  // namespace
}  // namespace orvitex::install
