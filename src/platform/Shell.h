#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace orvitex::platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Starts the program as a new process, shown normal and activated, without
    // waiting for it. False when it could not start.
    [[nodiscard]] virtual bool StartProgram(std::u16string_view path) = 0;
    // The exit code from 0xC0000000 up the last started program ended with: an
    // exception code when it crashed, or a code of its own such as 0xFFFFFFFF (the run
    // tells them apart); none while it runs, after any other end, or where that
    // cannot be known.
    [[nodiscard]] virtual std::optional<std::uint32_t> CrashOfLastProgram() { return std::nullopt; }
    // Copies one file into a folder, replacing a file of the same name without
    // asking. ownerWindow is the native handle of the window that owns any
    // progress or error window of the shell (0 for none). Silent: the shell shows
    // no window at all, for a run nobody watches.
    virtual void CopyFileIntoFolder(std::u16string_view sourceFile,
                                    std::u16string_view destinationFolder,
                                    std::uintptr_t ownerWindow, bool silent) = 0;
};

}  // namespace orvitex::platform
