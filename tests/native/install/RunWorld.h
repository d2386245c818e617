#pragma once
// The world a whole run works in: a central database with the six stored programs
// (a SQLite file, or a PostgreSQL database for the tests that take the server away),
// the fake machine, and a main window and shell that journal what they are asked.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "FakeDesktop.h"
#include "FakeFileSystem.h"
#include "FakeRegistry.h"
#include "FakeUi.h"
#include "install/CentralDb.h"
#include "install/InstallRun.h"
#include "install/Institution.h"
#include "install/MainServer.h"
#include "install/Preflight.h"
#include "install/SharedDatabase.h"
#include "install/Workstation.h"
#include "platform/openssl/OpenSslSha256.h"
#include "support/SqliteDatabase.h"

namespace orvitex::install {

inline const std::u16string kFolder = u"C:\\오르비설치\\";
inline const std::u16string kConnectTo = u"SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";
inline const std::u16string kPolicies(kPolicyKey);

struct RunWorld : RunWindow, platform::Shell {
    // postgres: the connection string of an empty PostgreSQL database; none: a SQLite
    // file, then reached as the program reaches it, through the built-in login.
    explicit RunWorld(std::optional<std::u16string> postgres = std::nullopt) {
        const bool pg = postgres.has_value();
        ConnectTo(postgres.value_or(central.ConnectionString()));
        EXPECT_EQ(database->ConnectServerDB(u"127.0.0.1", u"sa", u"", u"orvitex"), 1);
        Sql(u"CREATE TABLE tb_orvi서버정보(요양기관기호 TEXT, 자동업데이트경로 TEXT, 서버Name "
            u"TEXT, 서버ID TEXT, 서버PWD TEXT, 데이터베이스 TEXT)");
        Sql(u"INSERT INTO tb_orvi서버정보 VALUES('12345678', '\\\\nas\\update\\', "
            u"'CLINIC\\SQL', 'clinic', 'Pw-secret-9', 'orvitex')");
        Sql(pg ? u"CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 bytea)"
               : u"CREATE TABLE tb_도르네AS(파일이름 TEXT, 실행파일 BLOB)");
        for (const auto& p : kSetupPackages) {
            const std::u16string bytes =
                p.index == 2 ? u"4D5A0200" : u"4D5A0" + ToText(std::int64_t{p.index});
            Sql(u"INSERT INTO tb_도르네AS VALUES('" + std::u16string(p.key) +
                (pg ? u"', decode('" + bytes + u"', 'hex'))" : u"', X'" + bytes + u"')"));
        }
        if (!pg) {
            Connect(FromUtf8(central.Path().string()));
        }
        ConnectMainServer(*database, ui, settings);
        registry.AddKey(kConnectTo);
        registry.AddKey(kPolicies);
        files.AddFolder(u"C:\\Orvitex");
        files.AddFile(u"C:\\Orvitex\\old.exe");
        files.AddFile(u"\\\\nas\\update\\Orvitex.ini");
        ui.journal = &journal;
    }
    // A new shared instance over the SQLite file, as --central-db names it.
    void Connect(const std::u16string& file) {
        ConnectTo(CentralDbConnectionString(file).value_or(u""));
    }
    void ConnectTo(const std::u16string& connection) {
        instance.reset();
        database = std::make_unique<SharedDatabase>(
            instance, ado::ProviderDrivers{.sqlServerReplacement = connection}, ui, files);
    }
    // Changes the central database through the open connection.
    void Sql(const std::u16string& statement) {
        EXPECT_EQ(database->Instance().RunSQL(statement), 1) << ToUtf8(statement);
    }
    RunOutcome Run() {
        RunServices services{files, *this, desktop, registry, ui, db, log, true};
        services.record = &record;
        services.sha256 = &sha256;
        return RunInstall(*this, services);
    }
    // The failure of a step, or "" when the run reached its completion window.
    std::string Failure() {
        try {
            EXPECT_EQ(Run(), RunOutcome::Completed);
        } catch (const RunStepError& e) {
            EXPECT_NE(journal.back(), "completion");
            return e.what();
        }
        EXPECT_EQ(journal.back(), "completion");
        return {};
    }
    std::vector<CheckResult> Check() {
        PreflightServices services{files, registry, sha256, *database, db, settings, desktop};
        return RunPreflight(services, code);
    }
    bool Logged(std::u16string_view text) const {
        return std::ranges::any_of(logged, [&](auto& l) { return l.find(text) != l.npos; });
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
    void Yield() override {
        if (closed) {
            throw MainWindowClosed{};
        }
    }
    void ResetProgress() override { journal.push_back("reset"); }
    void ShowProgress(std::int32_t current, std::int32_t total) override {
        journal.push_back("progress " + std::to_string(current) + "/" + std::to_string(total));
        onProgress(current);
    }
    std::uintptr_t NativeHandle() override { return 0x1234; }
    void ShowCompletionWindow() override { journal.push_back("completion"); }
    // The main setup makes the product's folder, as the real one does.
    bool StartProgram(std::u16string_view path) override {
        journal.push_back("start " + ToUtf8(path.substr(path.rfind(u'\\') + 1)));
        const auto started = std::ranges::find(kSetupPackages, path, &SetupPackage::file);
        lastStarted = static_cast<std::size_t>(started - kSetupPackages.begin());
        if (path.ends_with(u"\\iOrvitex.exe")) {
            files.AddFolder(u"C:\\Orvitex");
            files.AddFolder(u"C:\\Orvitex\\bin");
        }
        return true;
    }
    std::optional<std::uint32_t> CrashOfLastProgram() override { return exitCodes.at(lastStarted); }
    void CopyFileIntoFolder(std::u16string_view source, std::u16string_view folder,
                            std::uintptr_t owner, bool silent) override {
        journal.push_back("copy " + ToUtf8(source) + " into " + ToUtf8(folder) + " owner " +
                          std::to_string(owner) + (silent ? " silent" : "") +
                          (registry.Log().empty() ? "" : " AFTER A REGISTRY WRITE"));
        const auto bytes = files.ReadWholeFile(source);
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
    ServerRecord server;
    bool copies = true;   // the shell's copy lands
    bool closed = false;  // the main window is gone at its next yield
    std::array<std::optional<std::uint32_t>, kPackageCount> exitCodes{};  // after each script
    std::size_t lastStarted = 0;
    std::function<void(std::int32_t)> onProgress = [](std::int32_t) {};
    testing::FakeUi ui;
    testing::FakeFileSystem files;
    testing::FakeRegistry registry;
    testing::FakeDesktop desktop;
    openssl::OpenSslSha256 sha256;
    RunRecord record;
    std::vector<std::u16string> logged;
    RunLog log{files, [this](std::u16string_view line) { logged.emplace_back(line); }};
};

}  // namespace orvitex::install
