#pragma once
// Use of an object variable that holds none fails the way a trapped BASIC
// error does, so that the error traps of the class see it instead of a crash.
#include <cstdint>
#include <memory>

#include "db/ado/Error.h"

namespace orvitex::db {

inline constexpr std::int32_t kObjectNotSet = 91;

template <typename T>
T& Required(const std::shared_ptr<T>& object) {
    if (!object) {
        throw ado::Error(kObjectNotSet, u"clsDBMng",
                         u"Object variable or With block variable not set");
    }
    return *object;
}

}  // namespace orvitex::db
