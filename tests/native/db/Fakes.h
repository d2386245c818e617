#pragma once
// Test doubles of the platform interfaces and of an ADO field, recording what
// the class under test asked of them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado/Connection.h"
#include "db/ado/Error.h"
#include "db/ado/Recordset.h"
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

// Files by exact path; the executable folder is a fixed text.
class MemoryFileSystem : public platform::FileSystem {
public:
    std::u16string FindFirst(std::u16string_view, std::uint32_t) override { return {}; }
    std::u16string FindNext() override { return {}; }
    std::optional<std::uint32_t> GetAttributes(std::u16string_view path) override {
        if (files.contains(std::u16string(path)))
            return platform::attr::kArchive;
        return std::nullopt;
    }
    bool SetAttributes(std::u16string_view, std::uint32_t) override { return true; }
    bool DeleteFiles(std::u16string_view) override { return false; }
    bool RemoveDirectory(std::u16string_view) override { return false; }
    bool MakeDirectory(std::u16string_view) override { return false; }
    bool FileExists(std::u16string_view path) override {
        return files.contains(std::u16string(path));
    }
    bool DirectoryExists(std::u16string_view) override { return false; }
    std::optional<std::vector<std::byte>> ReadWholeFile(std::u16string_view path) override {
        const auto found = files.find(std::u16string(path));
        if (found == files.end() || unreadable)
            return std::nullopt;
        return found->second;
    }
    bool DeleteFile(std::u16string_view path) override {
        if (locked)
            return false;
        return files.erase(std::u16string(path)) == 1;
    }
    bool WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        if (locked)
            return false;
        files[std::u16string(path)].assign(bytes.begin(), bytes.end());
        return true;
    }
    std::u16string ExecutableFolder() override { return executableFolder; }
    std::unique_ptr<platform::FileReader> OpenForReading(std::u16string_view path) override {
        const auto found = files.find(std::u16string(path));
        if (found == files.end() || unreadable)
            return nullptr;
        return std::make_unique<Reader>(*this, found->second);
    }

    std::map<std::u16string, std::vector<std::byte>> files;
    std::vector<std::size_t> blockReads;      // the size of each Read asked for
    std::optional<std::uint64_t> sizeToTell;  // a length the reader reports instead of the real one
    std::u16string executableFolder = u"C:\\Program Files\\Orvitex";
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

// A field whose value is a byte array; records every AppendChunk and GetChunk.
class RecordingField : public ado::Field {
public:
    std::u16string Name() const override { return u"실행파일"; }
    std::int32_t Type() const override { return 205; }
    std::int64_t DefinedSize() const override { return 0; }
    ado::Variant Value() const override { return value; }
    void SetValue(const ado::Variant& next) override {
        value = next;
        appending = false;
    }
    std::int64_t ActualSize() const override {
        if (const auto* bytes = value.As<std::shared_ptr<const ado::Bytes>>()) {
            return static_cast<std::int64_t>((*bytes)->size());
        }
        if (const auto* text = value.As<std::u16string>()) {
            return static_cast<std::int64_t>(text->size() * 2);
        }
        return 0;
    }
    ado::Variant GetChunk(std::int64_t length) override {
        chunkRequests.push_back(length);
        if (failChunks)
            throw ado::Error(ado::kProviderError, u"test", u"chunk refused");
        return value;
    }
    void ReserveChunks(std::int64_t totalBytes) override { reserved = totalBytes; }
    void AppendChunk(const ado::Variant& data) override {
        if (failChunks)
            throw ado::Error(ado::kProviderError, u"test", u"chunk refused");
        const auto piece = data.ToBytes();
        appendedSizes.push_back(piece->size());
        ado::Bytes next;
        if (appending)
            next = *value.ToBytes();
        next.insert(next.end(), piece->begin(), piece->end());
        value = ado::Variant(std::move(next));
        appending = true;
    }

    ado::Variant value = ado::Variant::MakeNull();
    std::vector<std::size_t> appendedSizes;
    std::vector<std::int64_t> chunkRequests;
    std::int64_t reserved = 0;
    bool failChunks = false;

private:
    bool appending = false;
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

// A connection that journals the calls the class makes and refuses those named
// in `failing`, to check call sequences no real server can show.
class ScriptedConnection : public ado::Connection {
public:
    void SetEvents(ado::ConnectionEvents* sink) override { events = sink; }
    std::int32_t CursorLocation() const override { return cursorLocation; }
    void SetCursorLocation(std::int32_t location) override { cursorLocation = location; }
    std::u16string ConnectionString() const override { return connectionString; }
    void SetConnectionString(std::u16string_view text) override { connectionString = text; }
    std::int32_t ConnectionTimeout() const override { return 15; }
    void SetConnectionTimeout(std::int32_t) override {}
    std::int32_t CommandTimeout() const override { return 30; }
    void SetCommandTimeout(std::int32_t) override {}
    std::int32_t State() const override { return open ? ado::adStateOpen : ado::adStateClosed; }
    void Open(std::u16string_view, std::u16string_view, std::u16string_view,
              std::int32_t) override {
        Call(u"Open");
        open = true;
    }
    void Close() override {
        Call(u"Close");
        open = false;
        if (events)
            events->Disconnect(ado::adStatusOK, *this);
    }
    std::shared_ptr<ado::Recordset> Execute(std::u16string_view commandText,
                                            std::int32_t* recordsAffected, std::int32_t) override {
        Call(u"Execute " + std::u16string(commandText));
        if (recordsAffected)
            *recordsAffected = 1;
        return nullptr;
    }
    std::int32_t BeginTrans() override {
        Call(u"BeginTrans");
        return 1;
    }
    void CommitTrans() override { Call(u"CommitTrans"); }
    void RollbackTrans() override { Call(u"RollbackTrans"); }
    void* NativeHandle() const override { return nullptr; }
    [[noreturn]] void ThrowOdbcError(std::int16_t, void*, std::u16string_view source) override {
        if (outOfMemory)
            throw std::bad_alloc();
        throw ado::Error(ado::kProviderError, std::u16string(source), u"scripted");
    }

    std::vector<std::u16string> calls;
    std::vector<std::u16string> failing;
    ado::ConnectionEvents* events = nullptr;
    bool open = true;
    bool outOfMemory = false;  // refusals throw std::bad_alloc instead

private:
    void Call(const std::u16string& call) {
        calls.push_back(call);
        for (const auto& refused : failing) {
            if (refused == call && outOfMemory)
                throw std::bad_alloc();
            if (refused == call)
                throw ado::Error(ado::kProviderError, u"scripted", u"refused");
        }
    }

    std::int32_t cursorLocation = ado::adUseServer;
    std::u16string connectionString;
};

}  // namespace orvitex::db::testing
