#pragma once
// An error trap of the class catches every failure, not only the layer's own:
// running out of memory ends the method with its failure value, as in BASIC.
#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>

#include "db/ado/Error.h"
#include "platform/Text.h"

namespace orvitex::db {

inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kInternalError = 51;

// The error a trap records for a caught failure.
[[nodiscard]] inline ado::Error Trapped(const std::exception& failure) {
    if (const auto* error = dynamic_cast<const ado::Error*>(&failure))
        return *error;
    if (dynamic_cast<const std::bad_alloc*>(&failure) ||
        dynamic_cast<const std::length_error*>(&failure)) {
        return ado::Error(kOutOfMemory, u"clsDBMng", u"Out of memory");
    }
    return ado::Error(kInternalError, u"clsDBMng", u"Internal error: " + FromUtf8(failure.what()));
}

}  // namespace orvitex::db
