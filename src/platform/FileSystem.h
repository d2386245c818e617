#pragma once
// The file system as the program's procedures use it. Paths are Windows paths.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvitex::platform {

namespace attr {
inline constexpr std::uint32_t kNormal = 0x00;
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kVolume = 0x08;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kReparsePoint = 0x400;
}  // namespace attr

// A file open for reading raw bytes in sequence.
class FileReader {
public:
    virtual ~FileReader() = default;
    // The length of the file in bytes, known before any byte is read.
    [[nodiscard]] virtual std::uint64_t Size() const = 0;
    // Fills `into` from the current position: the count read, short only at the end of
    // the file; nullopt when the read failed.
    [[nodiscard]] virtual std::optional<std::size_t> Read(std::span<std::byte> into) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Directory search in the manner of a BASIC Dir(): entries with no special
    // attribute always match; hidden, system and directory entries only when
    // their bit is in mask. One search at a time: a new FindFirst ends the last.
    // Both return the entry's name (no folder part), or empty when none is left
    // or the search failed.
    [[nodiscard]] virtual std::u16string FindFirst(std::u16string_view pattern,
                                                   std::uint32_t mask) = 0;
    [[nodiscard]] virtual std::u16string FindNext() = 0;

    // nullopt when the attributes cannot be read (e.g. the path does not exist).
    [[nodiscard]] virtual std::optional<std::uint32_t> GetAttributes(std::u16string_view path) = 0;
    [[nodiscard]] virtual bool SetAttributes(std::u16string_view path,
                                             std::uint32_t attributes) = 0;
    // Deletes every file matching a wildcard pattern; false when any could not be deleted.
    [[nodiscard]] virtual bool DeleteFiles(std::u16string_view pattern) = 0;
    // Removes an empty directory, or the link itself when the path is a junction
    // or a directory symbolic link.
    [[nodiscard]] virtual bool RemoveDirectory(std::u16string_view path) = 0;
    [[nodiscard]] virtual bool MakeDirectory(std::u16string_view path) = 0;

    [[nodiscard]] virtual bool FileExists(std::u16string_view path) = 0;
    [[nodiscard]] virtual bool DirectoryExists(std::u16string_view path) = 0;
    // The whole content of a file as raw bytes; nullopt when it cannot be read.
    [[nodiscard]] virtual std::optional<std::vector<std::byte>> ReadWholeFile(
        std::u16string_view path) = 0;
    [[nodiscard]] virtual bool DeleteFile(std::u16string_view path) = 0;
    // Creates or truncates the file and writes every byte; false on any failure.
    [[nodiscard]] virtual bool WriteWholeFile(std::u16string_view path,
                                              std::span<const std::byte> bytes) = 0;
    // Creates or truncates the file, writes every byte and flushes them to the
    // disk before closing; false on any failure, which may leave a partial file.
    // The three below fail unless implemented: tools that never install need none.
    [[nodiscard]] virtual bool WriteFlushedFile(std::u16string_view /*path*/,
                                                std::span<const std::byte> /*bytes*/) {
        return false;
    }
    // Renames source to target, replacing a file there, and returns once the
    // rename is on the disk; false when it could not be done.
    [[nodiscard]] virtual bool ReplaceFile(std::u16string_view /*source*/,
                                           std::u16string_view /*target*/) {
        return false;
    }
    // Adds the bytes at the end of the file, creating it when missing.
    [[nodiscard]] virtual bool AppendToFile(std::u16string_view /*path*/,
                                            std::span<const std::byte> /*bytes*/) {
        return false;
    }
    // Bytes this user may still write on the volume holding the existing path;
    // nullopt when unknown. Unless implemented, unknown.
    [[nodiscard]] virtual std::optional<std::uint64_t> FreeBytes(std::u16string_view /*path*/) {
        return std::nullopt;
    }
    // Whether this process may add files and folders to the existing folder, asked
    // by opening it for that and closing it: nothing is created.
    [[nodiscard]] virtual bool CanAddEntries(std::u16string_view /*folder*/) { return false; }
    // The folder of the running executable, exactly as the platform reports it.
    [[nodiscard]] virtual std::u16string ExecutableFolder() = 0;
    // Opens a file for reading in blocks; nullptr when it cannot be opened. This fallback
    // holds the whole file in memory; an implementation that can should read as asked.
    [[nodiscard]] virtual std::unique_ptr<FileReader> OpenForReading(std::u16string_view path);
};

namespace detail {

class WholeFileReader final : public FileReader {
public:
    explicit WholeFileReader(std::vector<std::byte> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::optional<std::size_t> Read(std::span<std::byte> into) override {
        const auto count = std::min(into.size(), bytes_.size() - done_);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(done_), count, into.begin());
        done_ += count;
        return count;
    }

private:
    std::vector<std::byte> bytes_;
    std::size_t done_ = 0;
};

}  // namespace detail

inline std::unique_ptr<FileReader> FileSystem::OpenForReading(std::u16string_view path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes)
        return nullptr;
    return std::make_unique<detail::WholeFileReader>(std::move(*bytes));
}

}  // namespace orvitex::platform
