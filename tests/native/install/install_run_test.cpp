#include <gtest/gtest.h>

#include <functional>

#include "RunWorld.h"
#include "db/gSQL.h"
#include "install/ClientConfig.h"
#include "install/ExitCodes.h"
#include "install/RunReport.h"

namespace orvitex::install {
namespace {

const std::u16string kSha2 = u"58f7fa906bb4d0075f986f82537613c41cf58750b27c4e623c9aa939518296c7";
const std::vector<std::byte> kPackage2{std::byte{0x4D}, std::byte{0x5A}, std::byte{2},
                                       std::byte{0}};

// Bugs caught: a status text off by a byte, a package out of order, the copy or
// the progress in the wrong place, the old program folder kept, a second
// connection that replaces the shared instance, the built-in login handed over in
// the wrong order (the end-to-end run proves the rest).
TEST(InstallRun, CompleteRunDoesEveryStepInOrder) {
    RunWorld w;
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
        RunWorld w;
        if (reused)
            w.Sql(u"DELETE FROM tb_도르네AS WHERE 파일이름 = '오르비필수업데이트'");
        w.registry.AddKey(kConnectTo, 5);
        w.files.AddFolder(kFolder);
        ASSERT_TRUE(w.files.WriteWholeFile(kFolder + file, present));
        EXPECT_NE(w.Failure(), "");
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
            u"[CLINIC\\SQL] = DBNMPNTW,\\\\CLINIC\\pipe\\MSSQL$SQL\\sql\\query: failed, status 5"));
    }
}

// The exit code a run ends with, as the program tells it: a failed step ends with
// 5, a run that reached its completion window with what it left undone.
int ExitCodeOf(RunWorld& w) {
    try {
        switch (w.Run()) {
            case RunOutcome::Completed:
                return CompletedRunExitCode(w.record);
            case RunOutcome::StoppedAtEmptyProgram:
                return kExitEmptyStoredProgram;
            case RunOutcome::UnknownInstitution:
                return w.ui.messages.at(0).text == kUnknownInstitution ? kExitUnknownInstitution
                                                                       : -1;
            case RunOutcome::NoInputDesktop:
                return -1;  // the program ends before the run returns
        }
    } catch (const RunStepError&) {
        return kExitOtherFailure;
    } catch (const testing::ProgramEnded& e) {
        return e.exitCode;
    }
    return -1;
}

// Every way a run ends, each with its exit code, what its log says and the programs
// it started. Bugs caught: an exit code a program chose for itself taken
// for a crash (or a crash for an exit code), a reached wait limit or an unseen drive
// reported as success, a wizard never shown counted as undone, a run without an
// input desktop that changes anything first, a cut-off write left under the
// package's name, a missing key that stops the values after it.
TEST(InstallRun, EveryWayARunEnds) {
    const auto unchanged = [](RunWorld& w) {
        EXPECT_TRUE(w.files.Has(u"C:\\Orvitex\\old.exe"));
        EXPECT_EQ(std::ranges::count(w.journal, "move left"), 0);
    };
    const struct {
        const char* name;
        std::function<void(RunWorld&)> change;
        int exitCode;
        std::u16string says;  // a line of the log
        std::size_t starts;
        std::function<void(RunWorld&)> then = [](RunWorld&) {};
    } rows[] = {
        {"every wizard clicked through or never shown",
         [](RunWorld& w) {
             w.desktop.Open(u"IHIRADUR 1.0 설치", 6, {0, 0, 640, 480});
         },
         kExitComplete, u"run complete; exit code 0 once the completion window closes", 6,
         [](RunWorld& w) {
             EXPECT_EQ(w.record.packages[5].script, ScriptOutcome::ClickedThrough);
             EXPECT_EQ(w.record.packages[0].script, ScriptOutcome::NotFound);
             EXPECT_TRUE(w.desktop.pictures.empty());
         }},
        {"a wizard whose window stops answering",
         [](RunWorld& w) {
             w.desktop.Open(u"오르비텍스 설치", 1, {0, 0, 640, 480});
             w.desktop.hung = {1};
         },
         kExitWizardsUndone,
         u"package 1 (iOrvitex.exe): wizard '오르비텍스 설치' stopped answering: its window did "
         u"not answer within 600000 ms; going on",
         6,
         [](RunWorld& w) {
             EXPECT_EQ(w.record.packages[0].script, ScriptOutcome::StoppedAnswering);
             EXPECT_TRUE(w.desktop.Only(testing::FakeDesktop::Kind::Click).empty());
             ASSERT_EQ(w.record.pictures.size(), 3u);  // three wizards share its caption
             EXPECT_TRUE(w.record.pictures[0].path.starts_with(kFolder + u"orvitex-setup-"));
             EXPECT_TRUE(w.record.pictures[0].path.ends_with(u"-iOrvitex.png"));
             EXPECT_EQ(w.record.pictures[0].why, u"package 1 (iOrvitex.exe): stopped answering");
             EXPECT_TRUE(
                 w.Logged(u"screen picture (package 1 (iOrvitex.exe): stopped "
                          u"answering): " +
                          w.record.pictures[0].path));
         }},
        {"a program that ends with 0xFFFFFFFF", [](RunWorld& w) { w.exitCodes[2] = 0xFFFFFFFF; },
         kExitComplete, u"run complete; exit code 0 once the completion window closes", 6,
         [](RunWorld& w) {
             EXPECT_TRUE(
                 w.Logged(u"package 3 (uOrvitex2.exe): its program ended with exit code "
                          u"0xFFFFFFFF, no crash; going on"));
             EXPECT_NE(ReportJson(ReportFrame{}, w.record).find("\"exitCode\": 4294967295"),
                       std::string::npos);
         }},
        {"three wizards left at their wait limits",
         [](RunWorld& w) {
             w.desktop.Open(u"오르비텍스 설치", 1, {0, 0, 640, 480});
         },
         kExitWizardsUndone,
         u"run finished, but 3 wizards did not complete; exit code 8 once the completion window "
         u"closes",
         6,
         [](RunWorld& w) {
             EXPECT_EQ(w.journal.back(), "completion");
             EXPECT_EQ(w.desktop.pictures.size(), 3u);
             EXPECT_NE(ReportJson({{}, false, {}, {}, kExitWizardsUndone, {}}, w.record)
                           .find("\"exitMeaning\": \"finished, but 3 wizards did not complete\""),
                       std::string::npos);
         }},
        {"the first program dies of an access violation",
         [](RunWorld& w) {
             w.exitCodes[0] = 0xC0000005;
             w.desktop.pictureFailure = u"no screen";
         },
         kExitOtherFailure,
         u"failed: package 1 (iOrvitex.exe): its program crashed, exception code 0xC0000005; "
         u"exit code 5",
         1,
         [](RunWorld& w) {
             EXPECT_TRUE(w.record.pictures.empty());
             EXPECT_TRUE(
                 w.Logged(u"screen picture not taken (failed: package 1 (iOrvitex.exe): "
                          u"its program crashed, exception code 0xC0000005): no screen"));
         }},
        {"the last program dies of a stack buffer overrun",
         [](RunWorld& w) { w.exitCodes[5] = 0xC0000409; }, kExitOtherFailure,
         u"package 6 (IHiraDurSetupSW0421.exe): its program crashed, exception code 0xC0000409", 6},
        {"unknown institution code", [](RunWorld& w) { w.code = u"99999999"; },
         kExitUnknownInstitution, u"institution code not found", 0, unchanged},
        {"a locked workstation",
         [](RunWorld& w) { w.desktop.inputDesktop.inputDesktopOpened = false; },
         kExitNoInputDesktop,
         u"stopped: 잠금이 풀린 사용자 화면이 없어 설치 프로그램을 클릭할 수 없습니다.", 0,
         unchanged},
        {"an empty stored program",
         [](RunWorld& w) {
             w.Sql(u"UPDATE tb_도르네AS SET 실행파일 = X'' WHERE 파일이름 = 'ALL7'");
         },
         kExitEmptyStoredProgram,
         u"package 5 (ALLV7_XProxy_soapLibSetupSetup.exe): stored program of length 0, run "
         u"stopped; exit code 3",
         4},
        {"a write cut off half-way",
         [](RunWorld& w) {
             w.files.AddFolder(kFolder);
             w.files.FailOn("WriteFlushedFile", kFolder + u"uOrvitex1.exe.part");
         },
         kExitOtherFailure,
         u"failed: package 2 (uOrvitex1.exe), fetching the file: cannot write "
         u"C:\\오르비설치\\uOrvitex1.exe.part; exit code 5",
         1,
         [](RunWorld& w) {
             EXPECT_FALSE(w.files.Has(kFolder + u"uOrvitex1.exe") ||
                          w.files.Has(kFolder + u"uOrvitex1.exe.part"));
             EXPECT_EQ(w.RegistryWrites(), 0u);
         }},
        {"Orvitex.ini not copied", [](RunWorld& w) { w.copies = false; }, kExitOtherFailure,
         u"run finished with failures: Orvitex.ini not copied from \\\\nas\\update\\Orvitex.ini; "
         u"exit code 5",
         6},
        {"the update folder on a drive the program cannot see",
         [](RunWorld& w) { w.Sql(u"UPDATE tb_orvi서버정보 SET 자동업데이트경로 = 'Z:\\update'"); },
         kExitOtherFailure,
         u"드라이브 Z:\\는 관리자 권한으로 실행된 이 프로그램에서 보이지 않습니다", 6},
        {"no ConnectTo key",
         [](RunWorld& w) {
             w.registry = {};
             w.registry.AddKey(kPolicies);
         },
         kExitOtherFailure,
         u"failed: workstation settings: 1 of 15 registry values not written: " + kConnectTo +
             u" [CLINIC\\SQL]: key missing or refused; exit code 5",
         6,
         [](RunWorld& w) {
             EXPECT_EQ(w.registry.ValuesOf(kPolicies).size(), 14u);
             EXPECT_FALSE(w.registry.HasKey(kConnectTo));
         }},
        {"no Policies\\System key",
         [](RunWorld& w) {
             w.registry = {};
             w.registry.AddKey(kConnectTo);
         },
         kExitOtherFailure,
         u"failed: workstation settings: 14 of 15 registry values not written: " + kPolicies, 6,
         [](RunWorld& w) {
             EXPECT_EQ(w.registry.ValuesOf(kConnectTo).size(), 1u);
             EXPECT_FALSE(w.registry.HasKey(kPolicies));
         }},
        {"the main window closed during the run", [](RunWorld& w) { w.closed = true; },
         kExitOtherFailure, u"main window closed during the run; exit code 5", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunWorld w;
        row.change(w);
        w.journal.clear();
        EXPECT_EQ(ExitCodeOf(w), row.exitCode);
        EXPECT_TRUE(w.Logged(row.says)) << ToUtf8(row.says);
        EXPECT_EQ(w.Starts(), row.starts);
        row.then(w);
    }
}

// Bugs caught: a check that passes what would stop a run (or fails what would
// not), a package already on disk counted against the free space, a space
// comparison off by one byte. The end-to-end check proves a ready machine left
// unchanged, an empty program, a missing ConnectTo key and Orvitex.ini.
// Bugs caught: a stored program of one byte taken for an empty one, by the run or
// by the check; an empty one started. Package 1's program is replaced.
TEST(InstallRun, OnlyAStoredProgramOfNoBytesIsEmpty) {
    for (const char16_t* program : {u"X''", u"X'4D'", u"X'4D5A'"}) {
        SCOPED_TRACE(ToUtf8(program));
        RunWorld w;
        w.Sql(u"UPDATE tb_도르네AS SET 실행파일 = " + std::u16string(program) +
              u" WHERE 파일이름 = '오르비셋업'");
        const std::size_t size = (std::u16string_view(program).size() - 3) / 2;
        EXPECT_EQ(w.Check()[3].passed, size > 0);
        EXPECT_EQ(w.Run(), size > 0 ? RunOutcome::Completed : RunOutcome::StoppedAtEmptyProgram);
        EXPECT_EQ(w.Starts(), size > 0 ? 6u : 0u);
        const auto file = w.files.ReadWholeFile(kFolder + u"iOrvitex.exe");
        EXPECT_EQ(file.has_value(), size > 0);
        EXPECT_EQ(file.value_or(std::vector<std::byte>{}).size(), size);
    }
}

// Bugs caught: a copy never made since C:\Orvitex\bin is a file reported as done
// (the run then ends as complete); a path of two trailing backslashes losing
// both, or one losing none.
TEST(InstallRun, ConfigurationCopyIntoAFileIsUndoneWork) {
    RunWorld w;
    w.binIsAFile = true;
    EXPECT_EQ(w.Run(), RunOutcome::Completed);
    EXPECT_EQ(UndoneWork(w.record), u"Orvitex.ini not copied from \\\\nas\\update\\Orvitex.ini");
    for (const std::u16string path : {u"\\\\nas\\u", u"\\\\nas\\u\\"})
        EXPECT_EQ(ClientConfigSource(path), u"\\\\nas\\u\\Orvitex.ini");
    EXPECT_EQ(ClientConfigSource(u"\\\\nas\\u\\\\"), u"\\\\nas\\u\\\\Orvitex.ini");
    EXPECT_EQ(ClientConfigSource(u""), u"\\Orvitex.ini");
}

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
        std::function<void(RunWorld&)> change;
        std::vector<std::string> failing;
    } rows[] = {
        {"main server unreachable, package 6 on disk",
         [](RunWorld& w) {
             w.Connect(u"/nonexistent/central.db");
             w.files.AddFile(std::u16string(kSetupPackages[5].file));
         },
         noConnection},
        {"a code that would match every row unquoted",
         [](RunWorld& w) { w.code = u"x' or '1'='1"; },
         {"institution code 'x' or '1'='1'", "Orvitex.ini"}},
        {"a disconnected session; the update folder on a drive the program cannot see",
         [](RunWorld& w) {
             w.desktop.inputDesktop.sessionActive = false;
             w.Sql(u"UPDATE tb_orvi서버정보 SET 자동업데이트경로 = 'Z:\\update'");
         },
         {"input desktop", "Orvitex.ini"}},
        {"ConnectTo missing from the 32-bit view (a warning), Policies\\System refusing",
         [](RunWorld& w) {
             w.registry.HideFrom32BitView(kConnectTo);
             w.registry.AddKey(kPolicies, 5);
         },
         {"registry Policies\\System"}},
        {"install folder present, not writable; free space exactly enough",
         [&](RunWorld& w) {
             w.files.AddFolder(kFolder);
             w.files.FailOn("CanAddEntries", installFolder);
             w.files.freeBytes = kSpareBytes + stored;
         },
         {folder}},
        {"a file named like the install folder; free space one byte short",
         [&](RunWorld& w) {
             w.files.AddFile(installFolder);
             w.files.freeBytes = kSpareBytes + stored - 1;
         },
         {folder, space}},
        {"C: refuses a new folder; free space unknown",
         [](RunWorld& w) {
             w.files.FailOn("CanAddEntries", u"C:\\");
             w.files.freeBytes.reset();
         },
         {folder, space}},
        {"neither packages 1 (empty) and 2 on disk nor Null package 3 count against the space",
         [&](RunWorld& w) {
             w.Sql(
                 u"UPDATE tb_도르네AS SET 실행파일 = NULL WHERE 파일이름 = '오르비필수업데이트2'");
             w.Sql(u"UPDATE tb_도르네AS SET 실행파일 = X'' WHERE 파일이름 = '오르비셋업'");
             w.files.AddFolder(kFolder);
             ASSERT_TRUE(w.files.WriteWholeFile(kFolder + u"iOrvitex.exe", kPackage2));
             ASSERT_TRUE(w.files.WriteWholeFile(kFolder + u"uOrvitex1.exe", kPackage2));
             w.files.freeBytes = kSpareBytes + stored - 3 - 4 - 3;
         },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunWorld w;
        row.change(w);
        const auto results = w.Check();
        EXPECT_EQ(results.size(), 14u);
        std::vector<std::string> failing;
        std::u16string details;
        for (const auto& r : results) {
            if (!r.passed) {
                failing.push_back(ToUtf8(r.name));
                details += r.detail + u"\n";
            }
        }
        EXPECT_EQ(failing, row.failing);
        if (row.failing.empty()) {
            EXPECT_EQ(CheckLine(results[3]),
                      u"ok   package 1 (iOrvitex.exe): stored program of length 0; a file of its "
                      u"name is present and is used instead");
            EXPECT_EQ(CheckLine(results[4]),
                      u"ok   package 2 (uOrvitex1.exe): stored program 4 bytes, SHA-256 " + kSha2 +
                          u"; a file of its name is present and is used instead");
        }
        if (row.failing.size() == 2 && row.failing[0] == "input desktop") {
            EXPECT_NE(details.find(u"session 1 is not active"), std::u16string::npos);
            EXPECT_NE(details.find(u"드라이브 Z:\\는"), std::u16string::npos);
        }
    }
}

}  // namespace
}  // namespace orvitex::install
