#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <limits>

#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

// Bits that an entry must have in the search mask to be found; entries with none
// of them are always found.
constexpr DWORD kSelectiveAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
// ReadFile and WriteFile take a DWORD count; stay well below it.
constexpr std::size_t kChunk = std::size_t{1} << 24;

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/' || c == u':';
}

// Dir("C:\Folder\") lists the folder, which FindFirstFileW would refuse.
std::u16string SearchPattern(std::u16string_view pattern) {
    std::u16string text(pattern);
    if (!text.empty() && IsSeparator(text.back()))
        text += u'*';
    return text;
}

// The folder part of a pattern, with its separator; empty for a bare name.
std::u16string FolderOf(std::u16string_view pattern) {
    const auto end = std::find_if(pattern.rbegin(), pattern.rend(), IsSeparator);
    return std::u16string(pattern.substr(0, static_cast<std::size_t>(pattern.rend() - end)));
}

std::optional<DWORD> Attributes(std::u16string_view path) {
    const std::u16string text(path);
    const DWORD attributes = GetFileAttributesW(Wide(text));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return attributes;
}

bool WriteAll(HANDLE file, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const auto count = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), count, &written, nullptr) || written == 0)
            return false;
        bytes = bytes.subspan(written);
    }
    return true;
}

}  // namespace

std::u16string Win32FileSystem::FindFirst(std::u16string_view pattern, std::uint32_t mask) {
    search_.Reset();
    mask_ = mask;
    const std::u16string text = SearchPattern(pattern);
    if (text.empty())
        return {};
    WIN32_FIND_DATAW entry{};
    search_.Reset(FindFirstFileW(Wide(text), &entry));
    if (!search_)
        return {};
    if ((entry.dwFileAttributes & kSelectiveAttributes & ~mask_) == 0) {
        return FromWide(entry.cFileName);
    }
    return FindNext();
}

std::u16string Win32FileSystem::FindNext() {
    WIN32_FIND_DATAW entry{};
    while (search_) {
        if (!FindNextFileW(search_.Get(), &entry)) {
            search_.Reset();
            break;
        }
        if ((entry.dwFileAttributes & kSelectiveAttributes & ~mask_) == 0) {
            return FromWide(entry.cFileName);
        }
    }
    return {};
}

std::optional<std::uint32_t> Win32FileSystem::GetAttributes(std::u16string_view path) {
    return Attributes(path);
}

bool Win32FileSystem::SetAttributes(std::u16string_view path, std::uint32_t attributes) {
    const std::u16string text(path);
    return SetFileAttributesW(Wide(text), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32FileSystem::DeleteFiles(std::u16string_view pattern) {
    const std::u16string text = SearchPattern(pattern);
    const std::u16string folder = FolderOf(text);
    std::vector<std::u16string> names;
    {
        WIN32_FIND_DATAW entry{};
        UniqueFind search(FindFirstFileW(Wide(text), &entry));
        if (!search)
            return GetLastError() == ERROR_FILE_NOT_FOUND;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                names.push_back(folder + FromWide(entry.cFileName));
            }
        } while (FindNextFileW(search.Get(), &entry));
    }
    bool allDeleted = true;
    for (const auto& name : names) {
        if (!DeleteFileW(Wide(name)))
            allDeleted = false;
    }
    return allDeleted;
}

bool Win32FileSystem::RemoveDirectory(std::u16string_view path) {
    const std::u16string text(path);
    return RemoveDirectoryW(Wide(text)) != 0;
}

bool Win32FileSystem::MakeDirectory(std::u16string_view path) {
    const std::u16string text(path);
    return CreateDirectoryW(Wide(text), nullptr) != 0;
}

bool Win32FileSystem::FileExists(std::u16string_view path) {
    const auto attributes = Attributes(path);
    return attributes && !(*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::DirectoryExists(std::u16string_view path) {
    const auto attributes = Attributes(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// Another program may hold the file open for writing (an editor, a virus scanner), so
// every sharing is allowed, and a sharing violation is asked again for a short while.
UniqueFileHandle OpenToRead(std::u16string_view path) {
    constexpr int kSharingRetries = 20;
    constexpr DWORD kSharingPauseMs = 50;
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const std::u16string text(path);
    for (int attempt = 0;; ++attempt) {
        UniqueFileHandle file(CreateFileW(Wide(text), GENERIC_READ, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_SHARING_VIOLATION || attempt == kSharingRetries)
            return file;
        Sleep(kSharingPauseMs);
    }
}

// Reads in the caller's blocks, so a large file never has to fit in memory whole.
class StreamingReader final : public platform::FileReader {
public:
    StreamingReader(UniqueFileHandle file, std::uint64_t size)
        : file_(std::move(file)), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> Read(std::span<std::byte> into) override {
        std::size_t done = 0;
        while (done < into.size()) {
            const auto count = static_cast<DWORD>(std::min(into.size() - done, kChunk));
            DWORD read = 0;
            if (!ReadFile(file_.Get(), into.data() + done, count, &read, nullptr))
                return std::nullopt;
            if (read == 0)
                break;
            done += read;
        }
        return done;
    }

private:
    UniqueFileHandle file_;
    std::uint64_t size_;
};

}  // namespace

std::unique_ptr<platform::FileReader> Win32FileSystem::OpenForReading(std::u16string_view path) {
    UniqueFileHandle file = OpenToRead(path);
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return nullptr;
    return std::make_unique<StreamingReader>(std::move(file),
                                             static_cast<std::uint64_t>(size.QuadPart));
}

std::optional<std::vector<std::byte>> Win32FileSystem::ReadWholeFile(std::u16string_view path) {
    const auto reader = OpenForReading(path);
    if (!reader || reader->Size() > std::numeric_limits<std::size_t>::max())
        return std::nullopt;
    std::vector<std::byte> bytes(static_cast<std::size_t>(reader->Size()));
    const auto read = reader->Read(bytes);
    if (!read)
        return std::nullopt;
    bytes.resize(*read);  // the file shrank under us
    return bytes;
}

bool Win32FileSystem::DeleteFile(std::u16string_view path) {
    const std::u16string text(path);
    return DeleteFileW(Wide(text)) != 0;
}

// A half-written file is deleted: it would pass later for a complete one.
bool Win32FileSystem::WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) {
    const std::u16string text(path);
    UniqueFileHandle file(CreateFileW(Wide(text), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    if (WriteAll(file.Get(), bytes))
        return true;
    file.Reset();
    DeleteFileW(Wide(text));
    return false;
}

bool Win32FileSystem::WriteFlushedFile(std::u16string_view path, std::span<const std::byte> bytes) {
    const std::u16string text(path);
    UniqueFileHandle file(CreateFileW(Wide(text), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
}

bool Win32FileSystem::ReplaceFile(std::u16string_view source, std::u16string_view target) {
    const std::u16string from(source);
    const std::u16string to(target);
    return MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}

bool Win32FileSystem::AppendToFile(std::u16string_view path, std::span<const std::byte> bytes) {
    const std::u16string text(path);
    UniqueFileHandle file(CreateFileW(Wide(text), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.Get(), bytes);
}

std::optional<std::uint64_t> Win32FileSystem::FreeBytes(std::u16string_view path) {
    const std::u16string text(path);
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(Wide(text), &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}

// A folder opens only with backup semantics; the access asked for is checked
// against its security as a real write would be, and nothing is written.
bool Win32FileSystem::CanAddEntries(std::u16string_view folder) {
    const std::u16string text(folder);
    UniqueFileHandle handle(CreateFileW(Wide(text), FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
    return static_cast<bool>(handle) && DirectoryExists(folder);
}

// As BASIC's App.Path: no trailing backslash, except after a drive.
std::u16string Win32FileSystem::ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::u16string folder = FromWide(std::wstring_view(path));
    folder.erase(std::min(folder.size(), folder.rfind(u'\\')));
    if (folder.ends_with(u':'))
        folder += u'\\';
    return folder;
}

}  // namespace orvitex::win32
