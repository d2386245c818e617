#pragma once
// Shared by the blob_fetch measurements: the fetch as the installation run makes
// it, and a child process per measurement so that each peak memory is its own.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Ui.h"

namespace orvitex::bench {

using Clock = std::chrono::steady_clock;
inline constexpr const char* kTable = "tb_도르네AS";

struct Measure {
    double seconds = 0;
    double peakMiB = 0;
};

[[nodiscard]] double Seconds(Clock::time_point start);
[[nodiscard]] double PeakRssMiB();
[[nodiscard]] bool SameContent(const std::filesystem::path& a, const std::filesystem::path& b);
// GetRecordSet, then Value, ActualSize and GetChunk of the field, then one write
// of the file: the installation run's fetch, through the given ODBC connection.
[[nodiscard]] bool FetchThroughTheClass(const std::u16string& odbcConnection,
                                        const std::filesystem::path& target);
// The least a program can do through the same driver: ask the length, fetch the
// value in one SQLGetData, write it.
[[nodiscard]] bool FetchThroughPlainOdbc(const std::u16string& odbcConnection,
                                         const std::filesystem::path& target);
// Writes every byte or fails.
[[nodiscard]] bool WriteFile(const std::filesystem::path& path, const void* data, std::size_t size);

class NoUi : public platform::Ui {
public:
    void ShowMessage(std::u16string_view text, platform::MessageIcon) override {
        std::fprintf(stderr, "message: %s\n", ToUtf8(text).c_str());
    }
    void SetBusyPointer(bool) override {}
    void EndProgram(int code) override { std::exit(code); }
};

// Only what the fetch needs: a file written in one piece, as the run writes it.
class PosixFiles : public platform::FileSystem {
public:
    std::u16string FindFirst(std::u16string_view, std::uint32_t) override { return {}; }
    std::u16string FindNext() override { return {}; }
    std::optional<std::uint32_t> GetAttributes(std::u16string_view) override { return {}; }
    bool SetAttributes(std::u16string_view, std::uint32_t) override { return false; }
    bool DeleteFiles(std::u16string_view) override { return false; }
    bool RemoveDirectory(std::u16string_view) override { return false; }
    bool MakeDirectory(std::u16string_view) override { return false; }
    bool FileExists(std::u16string_view path) override {
        return std::filesystem::exists(ToUtf8(path));
    }
    bool DirectoryExists(std::u16string_view) override { return false; }
    std::optional<std::vector<std::byte>> ReadWholeFile(std::u16string_view) override {
        return std::nullopt;
    }
    bool DeleteFile(std::u16string_view path) override {
        return std::filesystem::remove(ToUtf8(path));
    }
    bool WriteWholeFile(std::u16string_view path, std::span<const std::byte> bytes) override {
        return WriteFile(ToUtf8(path), bytes.data(), bytes.size());
    }
    std::u16string ExecutableFolder() override { return u"."; }
};

// Runs a fetch in a child of its own and reports its time and peak memory. The
// child never returns into the caller's code: it ends with _exit whatever happens.
template <typename Fetch>
Measure InChild(Fetch fetch) {
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(channel[0]);
        Measure measured{-1, 0};
        try {
            const auto start = Clock::now();
            if (fetch())
                measured.seconds = Seconds(start);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "  %s\n", error.what());
        }
        measured.peakMiB = PeakRssMiB();
        const auto written = ::write(channel[1], &measured, sizeof measured);
        ::_exit(written == sizeof measured ? 0 : 1);
    }
    ::close(channel[1]);
    Measure measured{-1, 0};
    const auto got = ::read(channel[0], &measured, sizeof measured);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        throw std::runtime_error("the child process died of signal " +
                                 std::to_string(WTERMSIG(status)));
    if (got != sizeof measured || measured.seconds < 0)
        throw std::runtime_error("a fetch failed in its child process");
    return measured;
}

// The better of two rounds: the least time and the greatest peak.
template <typename Fetch>
Measure BestOfTwo(Fetch fetch) {
    const Measure a = InChild(fetch), b = InChild(fetch);
    return {std::min(a.seconds, b.seconds), std::max(a.peakMiB, b.peakMiB)};
}

// The PostgreSQL half: 16, 256 and 1024 MiB against libpq's binary fetch.
int RunPostgres(const std::filesystem::path& folder);

}  // namespace orvitex::bench
