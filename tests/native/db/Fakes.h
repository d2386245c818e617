#pragma once
// Doubles of the platform interfaces, recording what the class under test asked of them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Ui.h"

namespace orvitex::db::testing {

struct ShownMessage {
    std::u16string text;
    platform::MessageIcon icon;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

class FakeUi : public platform::Ui {
public:
    void ShowMessage(std::u16string_view text, platform::MessageIcon icon) override {
        messages.push_back({std::u16string(text), icon});
    }
    void SetBusyPointer(bool isBusy) override { pointerChanges.push_back(isBusy); }
    void EndProgram(int exitCode) override { throw exitCode; }

    std::vector<ShownMessage> messages;
    std::vector<bool> pointerChanges;
};

// Files by exact path, for what the class asks of a file system; the rest finds nothing.
class MemoryFileSystem : public platform::FileSystem {
public:
    std::u16string FindFirst(std::u16string_view, std::uint32_t) override { return {}; }
    std::u16string FindNext() override { return {}; }
    std::optional<std::uint32_t> GetAttributes(std::u16string_view) override { return {}; }
    bool SetAttributes(std::u16string_view, std::uint32_t) override { return true; }
    bool DeleteFiles(std::u16string_view) override { return false; }
    bool RemoveDirectory(std::u16string_view) override { return false; }
    bool MakeDirectory(std::u16string_view) override { return false; }
    bool FileExists(std::u16string_view path) override {
        return files.contains(std::u16string(path));
    }
    bool DirectoryExists(std::u16string_view) override { return false; }
    std::optional<std::vector<std::byte>> ReadWholeFile(std::u16string_view) override { return {}; }
    bool DeleteFile(std::u16string_view path) override {
        return !locked && files.erase(std::u16string(path)) == 1;
    }
    bool WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        if (locked)
            return false;
        files[std::u16string(path)].assign(bytes.begin(), bytes.end());
        return true;
    }
    std::u16string ExecutableFolder() override { return {}; }
    std::unique_ptr<platform::FileReader> OpenForReading(std::u16string_view path) override {
        const auto found = files.find(std::u16string(path));
        if (found == files.end() || unreadable)
            return nullptr;
        return std::make_unique<Reader>(*this, found->second);
    }

    std::map<std::u16string, std::vector<std::byte>> files;
    std::vector<std::size_t> blockReads;      // the size of each Read asked for
    std::optional<std::uint64_t> sizeToTell;  // a length the reader reports instead of the real one
    bool unreadable = false;
    bool locked = false;  // deletes and writes fail, as for a file in use

private:
    class Reader : public platform::FileReader {
    public:
        Reader(MemoryFileSystem& owner, const std::vector<std::byte>& bytes)
            : owner_(owner), bytes_(bytes) {}
        std::uint64_t Size() const override { return owner_.sizeToTell.value_or(bytes_.size()); }
        std::optional<std::size_t> Read(std::span<std::byte> into) override {
            owner_.blockReads.push_back(into.size());
            const auto count = std::min(into.size(), bytes_.size() - done_);
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(done_), count, into.begin());
            done_ += count;
            return count;
        }

    private:
        MemoryFileSystem& owner_;
        const std::vector<std::byte>& bytes_;
        std::size_t done_ = 0;
    };
};

inline std::vector<std::byte> PatternBytes(std::size_t size, unsigned seed = 7) {
    std::vector<std::byte> bytes(size);
    std::uint32_t state = seed;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<std::byte>(state >> 24);
    }
    return bytes;
}

}  // namespace orvitex::db::testing
