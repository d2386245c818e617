#pragma once
// SHA-256 by the platform's own implementation, so that a build of a setup
// program can be named in logs and reports.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orvitex::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    virtual ~Sha256() = default;
    // Throws std::runtime_error when the platform cannot hash.
    [[nodiscard]] virtual Sha256Digest Digest(std::span<const std::byte> bytes) = 0;
};

// 64 lowercase hexadecimal digits, first byte first.
[[nodiscard]] std::u16string Sha256Hex(Sha256& sha256, std::span<const std::byte> bytes);

}  // namespace orvitex::platform
