#pragma once
// A run-time error of the window code, numbered as the window system numbers
// them. Window code has no error trap: these reach the outermost handler.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace orvitex::startup {

inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kInvalidPropertyValue = 380;

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::int32_t number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    [[nodiscard]] std::int32_t Number() const { return number_; }

private:
    std::int32_t number_;
};

}  // namespace orvitex::startup
