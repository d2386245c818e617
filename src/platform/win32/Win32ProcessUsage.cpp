#include "platform/win32/Win32ProcessUsage.h"

#include "platform/win32/Win32Api.h"

#include <psapi.h>

namespace orvitex::win32 {
namespace {

// FILETIME counts 100-nanosecond steps.
std::chrono::milliseconds ToMilliseconds(std::uint64_t ticks) {
    return std::chrono::milliseconds(static_cast<std::int64_t>(ticks / 10'000));
}

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

std::optional<platform::UsageFigures> Win32ProcessUsage::Measure() {
    HANDLE self = GetCurrentProcess();
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessTimes(self, &created, &exited, &kernel, &user) ||
        !K32GetProcessMemoryInfo(self, &memory, sizeof memory)) {
        return std::nullopt;
    }
    GetSystemTimeAsFileTime(&now);
    platform::UsageFigures figures;
    figures.cpu = ToMilliseconds(Ticks(kernel) + Ticks(user));
    figures.alive = ToMilliseconds(Ticks(now) > Ticks(created) ? Ticks(now) - Ticks(created) : 0);
    figures.peakWorkingSetBytes = memory.PeakWorkingSetSize;
    figures.peakPrivateBytes = memory.PeakPagefileUsage;
    return figures;
}

}  // namespace orvitex::win32
