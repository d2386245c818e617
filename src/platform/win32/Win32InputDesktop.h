#pragma once
#include "platform/InputDesktop.h"

namespace orvitex::win32 {

// Reads what decides whether synthetic input reaches other programs' windows now.
[[nodiscard]] platform::InputDesktopFacts ReadInputDesktop();

}  // namespace orvitex::win32
