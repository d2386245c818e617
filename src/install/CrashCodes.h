#pragma once
// The exit codes that mean a setup program died of an exception. Many setup programs
// end with codes of their own from 0xC0000000 up (-1, 0xFFFFFFFF, for "cancelled" or
// "already installed"): those are no crash, and the run goes on.
#include <algorithm>
#include <array>
#include <cstdint>

namespace orvitex::install {

inline constexpr std::array<std::uint32_t, 24> kCrashCodes{
    0xC0000005,  // access violation
    0xC0000006,  // in-page error
    0xC000001D,  // illegal instruction
    0xC0000025,  // non-continuable exception
    0xC0000026,  // invalid disposition
    0xC000008C,  // array bounds exceeded
    0xC000008D,  // float denormal operand
    0xC000008E,  // float divide by zero
    0xC000008F,  // float inexact result
    0xC0000090,  // float invalid operation
    0xC0000091,  // float overflow
    0xC0000092,  // float stack check
    0xC0000093,  // float underflow
    0xC0000094,  // integer divide by zero
    0xC0000095,  // integer overflow
    0xC0000096,  // privileged instruction
    0xC00000FD,  // stack overflow
    0xC0000142,  // DLL initialisation failed
    0xC0000374,  // heap corruption
    0xC0000409,  // stack buffer overrun (fail fast)
    0xC0000417,  // invalid parameter to the C run-time
    0xC0000420,  // assertion failure
    0xC0000602,  // fail fast
    0xE06D7363,  // C++ exception nothing caught
};
static_assert(std::ranges::is_sorted(kCrashCodes));

[[nodiscard]] constexpr bool IsCrashCode(std::uint32_t code) {
    return std::ranges::binary_search(kCrashCodes, code);
}

}  // namespace orvitex::install
