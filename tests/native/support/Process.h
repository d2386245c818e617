#pragma once
// Starting host programs for fixtures, optionally as another system user.
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvitex::testing {

struct SystemUser {
    uid_t uid;
    gid_t gid;
};
[[nodiscard]] std::optional<SystemUser> FindSystemUser(const std::string& name);

// Starts argv[0] (a path) with its output appended to logFile; returns its pid.
// The process gets SIGINT if the test program dies first.
[[nodiscard]] pid_t StartProcess(const std::vector<std::string>& argv,
                                 const std::filesystem::path& logFile,
                                 std::optional<SystemUser> user = std::nullopt);
// Waits for the process and returns its exit code (-1 when it was killed).
int WaitProcess(pid_t pid);
// Runs to completion; returns the exit code.
int RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& logFile,
               std::optional<SystemUser> user = std::nullopt);

}  // namespace orvitex::testing
