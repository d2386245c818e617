#pragma once
#include <exception>
#include <string>

namespace orvitex::install {

// The text of a caught failure for logs and check lines: "error 3704: …" for
// the database layer, the message of anything else.
[[nodiscard]] std::u16string FailureReason(const std::exception_ptr& failure);

}  // namespace orvitex::install
