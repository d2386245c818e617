// A stand-in setup program for the run's end-to-end test: appends "started NAME"
// to the file named by ORVITEX_START_JOURNAL and exits at once. Started as
// iOrvitex.exe it also makes the product's bin folder, as the main setup would.
#include "platform/win32/Win32Api.h"

#include <string>

int wmain() {
    wchar_t self[MAX_PATH]{};
    wchar_t journal[MAX_PATH]{};
    if (!GetModuleFileNameW(nullptr, self, MAX_PATH) ||
        !GetEnvironmentVariableW(L"ORVITEX_START_JOURNAL", journal, MAX_PATH)) {
        return 1;
    }
    const std::wstring path(self);
    const std::wstring name = path.substr(path.rfind(L'\\') + 1);
    if (name == L"iOrvitex.exe") {
        CreateDirectoryW(L"C:\\Orvitex", nullptr);
        CreateDirectoryW(L"C:\\Orvitex\\bin", nullptr);
    }
    std::string line = "started ";
    char utf8[MAX_PATH * 3]{};
    WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    line += utf8;
    line += '\n';
    HANDLE file = CreateFileW(journal, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
