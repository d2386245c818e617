#pragma once
#include <cstdint>
#include <functional>

#include "db/ado/Error.h"

namespace orvitex::ado::testing {

// The number of the ado::Error the action throws, or 0 when it throws none.
inline std::int32_t ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

}  // namespace orvitex::ado::testing
