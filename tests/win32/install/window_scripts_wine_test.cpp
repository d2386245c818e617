// The real window scripts over the real desktop, against copies of the stand-in
// wizard (tools/fake-setup) under the packages' file names. Each is started, the
// run's 2000 ms pass, its script runs, and the wizard's click journal is read.
#include "platform/win32/Win32Api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../platform/TempFolder.h"
#include "install/WindowScripts.h"
#include "platform/DpiScaling.h"
#include "platform/FolderTree.h"
#include "platform/Text.h"
#include "platform/win32/NewerApi.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32FileSystem.h"

namespace orvitex::install {
namespace {

using namespace std::chrono_literals;
using win32::UniqueKernelHandle;

// A wizard that missed a click never changes: fail in seconds, not minutes.
constexpr WaitLimits kLimits{15s, 15s};

struct Package {
    const wchar_t* file;
    WizardScript script;
    const char16_t* caption;
    std::string buttons;  // the points its clicks must land on, in order
};
const Package kMain{L"iOrvitex.exe", WizardScript::MainSetup, u"오르비텍스 설치", "AADD"};
const Package kUntilGone{L"uOrvitex2.exe", WizardScript::ClickUntilGone, u"오르비텍스 설치", "BBB"};
const Package kSingle{L"ALLV7_XProxy_soapLibSetupSetup.exe", WizardScript::SingleClick,
                      u"ALLV7_XProxy_soapLibSetup Setup", "C"};
const Package kUpdate{L"uOrvitex1.exe", WizardScript::UpdateSetup, u"오르비텍스 Update 설치",
                      "AADD"};
const Package kUntilGone3{L"uOrvitex3.exe", WizardScript::ClickUntilGone, u"오르비텍스 설치",
                          "BBB"};
const Package kTwo{L"IHiraDurSetupSW0421.exe", WizardScript::TwoClicks, u"IHIRADUR 1.0 설치", "AA"};

// One click in a wizard's journal: the button it reached ('-': beside every
// button), the screen point and the window rectangle in the wizard's pixels.
struct Click {
    char button = '-';
    long x, y, left, top, right, bottom;
    unsigned dpi;
};
struct Journal {
    std::vector<Click> clicks;
    std::string end;  // why the wizard ended; empty while it runs
};

// The script's point for the button in the window the click reached.
std::pair<long, long> PointOf(const Click& c) {
    const auto s = [&](int px) { return platform::ToPhysicalPixels(px, c.dpi); };
    switch (c.button) {
        case 'B':
            return {c.left + s(350), c.top + s(365)};
        case 'C':
            return {c.left + s(400), c.top + s(115)};
        case 'D':
            return {c.right - s(25), c.bottom - s(25)};
        default:
            return {c.left + s(350), c.top + s(315)};
    }
}

// A started wizard; one that is still running at the end is stopped.
struct Started {
    UniqueKernelHandle process;
    ~Started() {
        if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
        }
    }
    [[nodiscard]] bool Ends() const { return WaitForSingleObject(process.Get(), 10000) == 0; }
};

class Wizards {
public:
    Wizards() { SetEnvironmentVariableW(L"ORVITEX_CLICK_JOURNAL", JournalPath().c_str()); }

    std::unique_ptr<Started> Start(const Package& p, const wchar_t* mode) {
        const char* exe = std::getenv("ORVITEX_FAKE_SETUP_EXE");
        EXPECT_TRUE(exe) << "ORVITEX_FAKE_SETUP_EXE names fake-setup.exe";
        const std::wstring path = folder_.Path(p.file);
        CopyFileW(std::wstring(exe, exe + std::strlen(exe)).c_str(), path.c_str(), FALSE);
        SetEnvironmentVariableW(L"ORVITEX_FAKE_SETUP", mode);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring command = L"\"" + path + L"\"";
        EXPECT_TRUE(CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &info));
        UniqueKernelHandle thread(info.hThread);
        auto started = std::make_unique<Started>();
        started->process = UniqueKernelHandle(info.hProcess);
        return started;
    }

    Journal Of(const Package& p) const {
        Journal journal;
        FILE* file = _wfopen(JournalPath().c_str(), L"rb");
        const std::string program = ToUtf8(win32::FromWide(std::wstring_view(p.file)));
        char line[1024], name[128], end[32];
        while (file && std::fgets(line, sizeof line, file)) {
            Click c{};
            const char* rest =
                " window=%*d client=%*d,%*d screen=%ld,%ld rect=%ld,%ld,%ld,%ld dpi=%u";
            if (std::sscanf(line, "%127s", name) != 1 || program != name) {
                continue;
            } else if (std::sscanf(line, (std::string("%*s click button=%c") + rest).c_str(),
                                   &c.button, &c.x, &c.y, &c.left, &c.top, &c.right, &c.bottom,
                                   &c.dpi) == 8 ||
                       std::sscanf(line, (std::string("%*s miss") + rest).c_str(), &c.x, &c.y,
                                   &c.left, &c.top, &c.right, &c.bottom, &c.dpi) == 7) {
                journal.clicks.push_back(c);
            } else if (std::sscanf(line, "%*s end reason=%31s", end) == 1) {
                journal.end = end;
            }
        }
        if (file) {
            std::fclose(file);
        }
        return journal;
    }

    // Every click on its button, at its script's point of the window it hit:
    // exact at 96 dpi, within the rounding of the scaling above.
    void ExpectClickedThrough(const Package& p, long tolerance) const {
        const Journal journal = Of(p);
        std::string buttons;
        for (const Click& c : journal.clicks) {
            buttons += c.button;
            EXPECT_NEAR(c.x, PointOf(c).first, tolerance) << c.button;
            EXPECT_NEAR(c.y, PointOf(c).second, tolerance) << c.button;
        }
        EXPECT_EQ(buttons, p.buttons);
        EXPECT_EQ(journal.end, "done");
    }

private:
    std::wstring JournalPath() const { return folder_.Path(L"clicks.log"); }
    win32::testing::TempFolder folder_;
};

// The run's way with each package: start it, sleep 2000 ms, run its script,
// with one rectangle for them all; the main setup makes the program folder.
void ClickThrough(std::initializer_list<Package> packages, const wchar_t* mode, long tolerance) {
    // The main setup must make the program folder itself, whatever an earlier test left.
    win32::Win32FileSystem files;
    static_cast<void>(mdl시작::DeleteFolderTree(files, u"C:\\Orvitex\\"));
    Wizards wizards;
    win32::Win32Desktop desktop;
    WindowScripts scripts(desktop, kLimits);
    for (const Package& p : packages) {
        SCOPED_TRACE(ToUtf8(win32::FromWide(std::wstring_view(p.file))));
        const auto wizard = wizards.Start(p, mode);
        desktop.Sleep(2000ms);
        EXPECT_EQ(scripts.Run(p.script, p.caption), ScriptOutcome::ClickedThrough);
        EXPECT_TRUE(wizard->Ends());
        wizards.ExpectClickedThrough(p, tolerance);
    }
    EXPECT_TRUE(files.DirectoryExists(u"C:\\Orvitex\\bin"));
    static_cast<void>(mdl시작::DeleteFolderTree(files, u"C:\\Orvitex\\"));
}

TEST(WizardsUnderWine, EveryClickLandsOnItsButtonAtTheScriptsPoint) {
    ClickThrough({kMain, kUpdate, kUntilGone, kUntilGone3, kSingle, kTwo}, L"", 0);
}

TEST(WizardsUnderWine, ALateWizardIsNotFoundAndNeverClicked) {
    Wizards wizards;
    win32::Win32Desktop desktop;
    const auto wizard = wizards.Start(kUntilGone, L"late");
    desktop.Sleep(2000ms);
    EXPECT_EQ(WindowScripts(desktop, kLimits).Run(kUntilGone.script, kUntilGone.caption),
              ScriptOutcome::NotFound);
    EXPECT_TRUE(wizards.Of(kUntilGone).clicks.empty());
}

TEST(WizardsUnderWine, AStuckWizardEndsTheWaitAtTheLimit) {
    for (const Package& p : {kMain, kUntilGone}) {
        SCOPED_TRACE(p.buttons);
        Wizards wizards;
        win32::Win32Desktop desktop;
        const auto wizard = wizards.Start(p, L"stuck");
        desktop.Sleep(2000ms);
        EXPECT_EQ(WindowScripts(desktop, {1500ms, 1500ms}).Run(p.script, p.caption),
                  ScriptOutcome::LimitReached);
        std::string buttons;
        for (const Click& c : wizards.Of(p).clicks) {
            buttons += c.button;
        }
        EXPECT_EQ(buttons.substr(0, 2), p.buttons.substr(0, 2));
        EXPECT_EQ(buttons.find('D'), std::string::npos);
    }
}

// Runs through at-144dpi.sh: the test program is DPI aware as the installer is
// (its manifest), the wizard lays itself out by its DPI.
TEST(WizardsAt144Dpi, EveryClickStillLandsOnItsButton) {
    if (!std::getenv("ORVITEX_EXPECT_DPI")) {
        GTEST_SKIP() << "runs at 144 dpi through at-144dpi.sh";
    }
    SetProcessDPIAware();
    ASSERT_EQ(win32::SystemDpi(), 144u);
    EXPECT_EQ(win32::Win32Desktop::Mapping(), std::getenv("ORVITEX_WIN7_API")
                                                  ? win32::DpiMapping::Scaling
                                                  : win32::DpiMapping::ThreadContext);
    ClickThrough({kMain, kUntilGone, kSingle}, L"dpiaware", 1);
}

}  // namespace
}  // namespace orvitex::install
