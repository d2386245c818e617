#pragma once
#include "platform/ProcessUsage.h"

namespace orvitex::posix {

// getrusage: the CPU time and the peak resident size; the rest it does not tell.
class PosixProcessUsage final : public platform::ProcessUsage {
public:
    [[nodiscard]] std::optional<platform::UsageFigures> Measure() override;
};

}  // namespace orvitex::posix
