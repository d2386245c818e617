#pragma once
#include "platform/win32/UniqueHandle.h"

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace orvitex::win32 {

// The file system through the W functions. The directory search keeps one open
// enumeration, as BASIC's Dir does.
class Win32FileSystem : public platform::FileSystem {
public:
    [[nodiscard]] std::u16string FindFirst(std::u16string_view pattern,
                                           std::uint32_t mask) override;
    [[nodiscard]] std::u16string FindNext() override;
    [[nodiscard]] std::optional<std::uint32_t> GetAttributes(std::u16string_view path) override;
    [[nodiscard]] bool SetAttributes(std::u16string_view path, std::uint32_t attributes) override;
    [[nodiscard]] bool DeleteFiles(std::u16string_view pattern) override;
    [[nodiscard]] bool RemoveDirectory(std::u16string_view path) override;
    [[nodiscard]] bool MakeDirectory(std::u16string_view path) override;
    [[nodiscard]] bool FileExists(std::u16string_view path) override;
    [[nodiscard]] bool DirectoryExists(std::u16string_view path) override;
    [[nodiscard]] std::optional<std::vector<std::byte>> ReadWholeFile(
        std::u16string_view path) override;
    [[nodiscard]] std::unique_ptr<platform::FileReader> OpenForReading(
        std::u16string_view path) override;
    [[nodiscard]] bool DeleteFile(std::u16string_view path) override;
    [[nodiscard]] bool WriteWholeFile(std::u16string_view path,
                                      std::span<const std::byte> bytes) override;
    [[nodiscard]] bool WriteFlushedFile(std::u16string_view path,
                                        std::span<const std::byte> bytes) override;
    [[nodiscard]] bool ReplaceFile(std::u16string_view source, std::u16string_view target) override;
    [[nodiscard]] bool AppendToFile(std::u16string_view path,
                                    std::span<const std::byte> bytes) override;
    [[nodiscard]] std::optional<std::uint64_t> FreeBytes(std::u16string_view path) override;
    [[nodiscard]] bool CanAddEntries(std::u16string_view folder) override;
    [[nodiscard]] std::u16string ExecutableFolder() override;

private:
    UniqueFind search_;
    std::uint32_t mask_ = 0;
};

}  // namespace orvitex::win32
