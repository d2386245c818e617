#pragma once
// What the program itself has cost the machine so far: taken once at the end of a
// run, so that its log and report show it beside the run's own times.
#include <chrono>
#include <cstdint>
#include <optional>

namespace orvitex::platform {

// A figure the platform does not tell stays 0.
struct UsageFigures {
    std::chrono::milliseconds cpu{0};    // user and kernel time of every thread
    std::chrono::milliseconds alive{0};  // since the process was created
    std::uint64_t peakWorkingSetBytes = 0;
    std::uint64_t peakPrivateBytes = 0;  // committed memory of its own (pagefile usage)
};

class ProcessUsage {
public:
    virtual ~ProcessUsage() = default;
    // The calling process's figures; nothing when the system cannot tell them.
    [[nodiscard]] virtual std::optional<UsageFigures> Measure() = 0;
};

}  // namespace orvitex::platform
