#pragma once
#include "platform/ProcessUsage.h"

namespace orvitex::win32 {

// GetProcessTimes and K32GetProcessMemoryInfo, both in kernel32 from Windows 7 on.
class Win32ProcessUsage final : public platform::ProcessUsage {
public:
    [[nodiscard]] std::optional<platform::UsageFigures> Measure() override;
};

}  // namespace orvitex::win32
