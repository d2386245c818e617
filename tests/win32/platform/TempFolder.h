#pragma once
// A fresh folder under the prefix's temp folder for one test, removed afterwards
// by a remover of its own that never follows links.
#include "platform/win32/Win32Api.h"

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32::testing {

inline void RemoveTreeNoFollow(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry{};
        UniqueFind search(FindFirstFileW((path + L"\\*").c_str(), &entry));
        while (search) {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                RemoveTreeNoFollow(path + L"\\" + name);
            if (!FindNextFileW(search.Get(), &entry))
                search.Reset();
        }
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

class TempFolder {
public:
    TempFolder() {
        static unsigned counter = 0;
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = std::wstring(temp) + L"orvitex-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        RemoveTreeNoFollow(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTreeNoFollow(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder itself, or a path below it.
    std::wstring Path(const std::wstring& relative = {}) const {
        return relative.empty() ? path_ : path_ + L"\\" + relative;
    }
    std::u16string Text(const std::wstring& relative = {}) const {
        return FromWide(Path(relative));
    }

    void Folder(const std::wstring& relative, DWORD attributes = 0) const {
        CreateDirectoryW(Path(relative).c_str(), nullptr);
        if (attributes)
            SetFileAttributesW(Path(relative).c_str(), attributes);
    }
    void File(const std::wstring& relative, DWORD attributes = 0) const {
        {
            UniqueFileHandle file(CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            if (file)
                WriteFile(file.Get(), "data", 4, &written, nullptr);
        }
        if (attributes)
            SetFileAttributesW(Path(relative).c_str(), attributes);
    }
    bool Exists(const std::wstring& relative = {}) const {
        return GetFileAttributesW(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::wstring path_;
};

}  // namespace orvitex::win32::testing
