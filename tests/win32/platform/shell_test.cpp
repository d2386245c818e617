// Win32Shell under Wine: copying one file into a folder, and starting a program.
#include "platform/win32/Win32Api.h"

#include <shellapi.h>

#include <string>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Shell.h"

namespace orvitex::win32 {
namespace {

using testing::TempFolder;

constexpr const wchar_t* kMarkerVariable = L"ORVITEX_START_MARKER";

void WriteText(const std::wstring& path, const std::wstring& text) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) {
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                  &written, nullptr);
    }
}

std::wstring ReadText(const std::wstring& path) {
    UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    std::wstring text(4096, L'\0');
    DWORD read = 0;
    if (!file ||
        !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * 2), &read, nullptr)) {
        return {};
    }
    text.resize(read / sizeof(wchar_t));
    return text;
}

// When this program is started by StartProgram below, it only reports how it was
// started (show command and command line) into the marker file, and ends.
const bool kStartedAsChild = [] {
    wchar_t marker[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(kMarkerVariable, marker, MAX_PATH))
        return false;
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const bool showSet = startup.dwFlags & STARTF_USESHOWWINDOW;
    const std::wstring report =
        std::to_wstring(showSet ? startup.wShowWindow : -1) + L"|" + GetCommandLineW();
    const std::wstring partial = std::wstring(marker) + L".part";
    WriteText(partial, report);
    MoveFileW(partial.c_str(), marker);
    ExitProcess(0);
}();

// Bug caught: a quiet run that waits on a shell window, or an attended one that
// hides the shell's own error windows.
TEST(Shell, CopyReplacesAFileOfTheSameNameWithoutAsking) {
    EXPECT_EQ(CopyFlags(false), FOF_NOCONFIRMATION);
    EXPECT_EQ(CopyFlags(true),
              FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_NOCONFIRMMKDIR);
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent);
        TempFolder temp;
        temp.Folder(L"Update");
        temp.Folder(L"\xC624\xB974\xBE44 bin");  // 오르비 bin
        WriteText(temp.Path(L"Update\\Orvitex.ini"), L"[new]");
        WriteText(temp.Path(L"\xC624\xB974\xBE44 bin\\Orvitex.ini"), L"[old, and longer]");

        Win32Shell shell;
        shell.CopyFileIntoFolder(temp.Text(L"Update\\Orvitex.ini"),
                                 temp.Text(L"\xC624\xB974\xBE44 bin"), 0, silent);
        EXPECT_EQ(ReadText(temp.Path(L"\xC624\xB974\xBE44 bin\\Orvitex.ini")), L"[new]");
        EXPECT_EQ(ReadText(temp.Path(L"Update\\Orvitex.ini")), L"[new]");
    }
}

TEST(Shell, StartProgramStartsItShownNormalWithoutWaiting) {
    ASSERT_FALSE(kStartedAsChild);
    TempFolder temp;
    const std::wstring marker = temp.Path(L"started.txt");
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);

    ASSERT_TRUE(SetEnvironmentVariableW(kMarkerVariable, marker.c_str()));
    Win32Shell shell;
    const bool started = shell.StartProgram(FromWide(self));
    SetEnvironmentVariableW(kMarkerVariable, nullptr);
    ASSERT_TRUE(started);

    // The child ends by itself once it has reported; wait for that report.
    for (int pass = 0; pass < 300 && !temp.Exists(L"started.txt"); ++pass)
        Sleep(100);
    EXPECT_EQ(ReadText(marker),
              std::to_wstring(SW_SHOWNORMAL) + L"|\"" + std::wstring(self) + L"\"");
}

TEST(Shell, StartingAMissingProgramFails) {
    TempFolder temp;
    Win32Shell shell;
    EXPECT_FALSE(shell.StartProgram(temp.Text(L"missing.exe")));
    EXPECT_FALSE(shell.StartProgram(temp.Text()));
}

}  // namespace
}  // namespace orvitex::win32
