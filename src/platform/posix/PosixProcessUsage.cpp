#include "platform/posix/PosixProcessUsage.h"

#include <sys/resource.h>

namespace orvitex::posix {
namespace {

std::chrono::milliseconds ToMilliseconds(const timeval& time) {
    return std::chrono::milliseconds(std::int64_t{time.tv_sec} * 1000 + time.tv_usec / 1000);
}

}  // namespace

std::optional<platform::UsageFigures> PosixProcessUsage::Measure() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return std::nullopt;
    }
    platform::UsageFigures figures;
    figures.cpu = ToMilliseconds(usage.ru_utime) + ToMilliseconds(usage.ru_stime);
    figures.peakWorkingSetBytes = static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // KiB
    return figures;
}

}  // namespace orvitex::posix
