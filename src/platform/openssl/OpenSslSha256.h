#pragma once
#include "platform/Sha256.h"

namespace orvitex::openssl {

// SHA-256 through libcrypto, for the portable logic off Windows.
class OpenSslSha256 : public platform::Sha256 {
public:
    [[nodiscard]] platform::Sha256Digest Digest(std::span<const std::byte> bytes) override;
};

}  // namespace orvitex::openssl
