// The real window scripts over the real desktop, against copies of the stand-in
// wizard (tools/fake-setup) under the packages' file names. Each is started, the
// run's 2000 ms pass, its script runs, and the wizard's click journal is read.
#include "platform/win32/Win32Api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../platform/TempFolder.h"
#include "install/WindowScripts.h"
#include "platform/DpiScaling.h"
#include "platform/Text.h"
#include "platform/win32/NewerApi.h"
#include "platform/win32/Win32Desktop.h"

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
const Package kPackages[] = {
    kMain,      {L"uOrvitex1.exe", WizardScript::UpdateSetup, u"오르비텍스 Update 설치", "AADD"},
    kUntilGone, {L"uOrvitex3.exe", WizardScript::ClickUntilGone, u"오르비텍스 설치", "BBB"},
    kSingle,    {L"IHiraDurSetupSW0421.exe", WizardScript::TwoClicks, u"IHIRADUR 1.0 설치", "AA"},
};

// One journal line: "<program> <event> key=value ...".
struct Entry {
    std::string event;
    std::string button;
    std::vector<long> screen, rect;
    std::uint32_t dpi = platform::kLayoutDpi;
    std::string reason;
};

std::vector<long> Numbers(const std::string& text) {
    std::vector<long> numbers;
    std::istringstream in(text);
    for (std::string n; std::getline(in, n, ',');) {
        numbers.push_back(std::strtol(n.c_str(), nullptr, 10));
    }
    return numbers;
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
    Wizards() { SetEnvironmentVariableW(L"ORVITEX_CLICK_JOURNAL", Journal().c_str()); }

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

    // The journal of one program, by its file name.
    std::vector<Entry> Of(const Package& p) const {
        std::vector<Entry> entries;
        FILE* file = _wfopen(Journal().c_str(), L"rb");
        if (!file) {
            return entries;
        }
        const std::string program = ToUtf8(win32::FromWide(std::wstring_view(p.file)));
        char buffer[1024];
        while (std::fgets(buffer, sizeof buffer, file)) {
            std::istringstream line(buffer);
            std::string name, word;
            Entry e;
            line >> name >> e.event;
            while (line >> word) {
                const auto eq = word.find('=');
                const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
                if (key == "button" || key == "reason") {
                    (key == "button" ? e.button : e.reason) = value;
                } else if (key == "screen" || key == "rect") {
                    (key == "screen" ? e.screen : e.rect) = Numbers(value);
                } else if (key == "dpi") {
                    e.dpi = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
                }
            }
            if (name == program) {
                entries.push_back(e);
            }
        }
        std::fclose(file);
        return entries;
    }

    // Every click on its button, at its script's point of the window it hit:
    // exact at 96 dpi, within the rounding of the scaling above.
    void ExpectClickedThrough(const Package& p, long tolerance) const {
        const auto entries = Of(p);
        std::string buttons;
        for (const Entry& e : entries) {
            if (e.event != "click" && e.event != "miss") {
                continue;
            }
            buttons += e.event == "miss" ? "-" : e.button;
            ASSERT_EQ(e.screen.size(), 2u);
            ASSERT_EQ(e.rect.size(), 4u);
            const auto s = [&](int px) { return platform::ToPhysicalPixels(px, e.dpi); };
            const bool d = e.button == "D";
            const char point = e.button.empty() ? 'A' : e.button[0];
            const long dx = d ? e.rect[2] - s(25) : e.rect[0] + s(point == 'C' ? 400 : 350);
            const long dy = d ? e.rect[3] - s(25)
                              : e.rect[1] + s(point == 'C'   ? 115
                                              : point == 'B' ? 365
                                                             : 315);
            EXPECT_NEAR(e.screen[0], dx, tolerance) << e.button;
            EXPECT_NEAR(e.screen[1], dy, tolerance) << e.button;
        }
        EXPECT_EQ(buttons, p.buttons);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back().event, "end");
        EXPECT_EQ(entries.back().reason, "done");
    }

private:
    std::wstring Journal() const { return folder_.Path(L"clicks.log"); }
    win32::testing::TempFolder folder_;
};

TEST(WizardsUnderWine, EveryClickLandsOnItsButtonAtTheScriptsPoint) {
    Wizards wizards;
    win32::Win32Desktop desktop;
    WindowScripts scripts(desktop, kLimits);
    for (const Package& p : kPackages) {
        SCOPED_TRACE(ToUtf8(win32::FromWide(std::wstring_view(p.file))));
        const auto wizard = wizards.Start(p, L"");
        desktop.Sleep(2000ms);
        EXPECT_EQ(scripts.Run(p.script, p.caption), ScriptOutcome::ClickedThrough);
        EXPECT_TRUE(wizard->Ends());
        wizards.ExpectClickedThrough(p, 0);
    }
    EXPECT_NE(GetFileAttributesW(L"C:\\Orvitex\\bin"), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(L"C:\\Orvitex\\bin");
    RemoveDirectoryW(L"C:\\Orvitex");
}

TEST(WizardsUnderWine, ALateWizardIsNotFoundAndNeverClicked) {
    Wizards wizards;
    win32::Win32Desktop desktop;
    const auto wizard = wizards.Start(kUntilGone, L"late");
    desktop.Sleep(2000ms);
    EXPECT_EQ(WindowScripts(desktop, kLimits).Run(kUntilGone.script, kUntilGone.caption),
              ScriptOutcome::NotFound);
    for (const Entry& e : wizards.Of(kUntilGone)) {
        EXPECT_EQ(e.event, "start");
    }
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
        for (const Entry& e : wizards.Of(p)) {
            buttons += e.button;
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
    Wizards wizards;
    win32::Win32Desktop desktop;
    WindowScripts scripts(desktop, kLimits);
    for (const Package& p : {kMain, kUntilGone, kSingle}) {
        SCOPED_TRACE(p.buttons);
        const auto wizard = wizards.Start(p, L"dpiaware");
        desktop.Sleep(2000ms);
        EXPECT_EQ(scripts.Run(p.script, p.caption), ScriptOutcome::ClickedThrough);
        EXPECT_TRUE(wizard->Ends());
        wizards.ExpectClickedThrough(p, 1);
    }
    RemoveDirectoryW(L"C:\\Orvitex\\bin");
    RemoveDirectoryW(L"C:\\Orvitex");
}

}  // namespace
}  // namespace orvitex::install
